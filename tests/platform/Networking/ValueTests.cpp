// The value types of URL loading, without the network.
#include <Foundation/NSError.hpp>

#include <gtest/gtest.h>

namespace {

using namespace Foundation;

TEST(NSErrorValue, DescribesItselfAsThePlatformDoes) {
  EXPECT_EQ(NSError::urlError(NSURLErrorCancelled).localizedDescription(), "cancelled");
  EXPECT_EQ(NSError::urlError(NSURLErrorTimedOut).localizedDescription(), "The request timed out.");
  EXPECT_EQ(NSError::urlError(NSURLErrorCannotFindHost).localizedDescription(),
            "A server with the specified hostname could not be found.");
  EXPECT_EQ(NSError::urlError(NSURLErrorNetworkConnectionLost).localizedDescription(),
            "The network connection was lost.");

  const NSError kitError("error", 0);
  EXPECT_EQ(kitError.localizedDescription(),
            "The operation couldn\u2019t be completed. (error error 0.)");
  const NSError described("X", 7, {{NSLocalizedDescriptionKey, "text of its own"}});
  EXPECT_EQ(described.localizedDescription(), "text of its own");

  const auto failing = NSError::urlError(NSURLErrorSecureConnectionFailed, "https://h.example/x",
                                         "handshake failed");
  EXPECT_EQ(failing.domain, NSURLErrorDomain);
  EXPECT_EQ(failing.userInfo.at(NSURLErrorFailingURLStringErrorKey), "https://h.example/x");
  EXPECT_EQ(failing.userInfo.at(NSDebugDescriptionErrorKey), "handshake failed");
  EXPECT_EQ(failing, NSError::urlError(NSURLErrorSecureConnectionFailed, "https://h.example/x",
                                       "handshake failed"));
}

}  // namespace
