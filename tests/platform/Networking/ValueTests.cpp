// The value types of URL loading, without the network.
#include <Foundation/HTTPURLResponse.hpp>
#include <Foundation/NSError.hpp>
#include <Foundation/NetworkEnvironment.hpp>
#include <Foundation/URLRequest.hpp>

#include <gtest/gtest.h>

namespace {

using namespace Foundation;

URL url(const char* text) {
  return *URL::string(text);
}

TEST(URLRequestValue, StartsAsThePlatformsDefaultGet) {
  URLRequest request(url("https://id.zentrel.com/a"));
  EXPECT_EQ(request.httpMethod, "GET");
  EXPECT_EQ(request.timeoutInterval, 60.0);
  EXPECT_EQ(request.cachePolicy, URLRequest::CachePolicy::useProtocolCachePolicy);
  EXPECT_FALSE(request.httpBody);
  EXPECT_TRUE(request.allHTTPHeaderFields().empty());
}

TEST(URLRequestValue, HeaderNamesIgnoreCaseAndKeepTheirPlace) {
  URLRequest request(url("https://id.zentrel.com/a"));
  request.setValue("1", "Authorization");
  request.setValue("2", "X-Second");
  request.setValue("3", "authorization");
  EXPECT_EQ(request.value("AUTHORIZATION"), "3");
  ASSERT_EQ(request.orderedHTTPHeaderFields().size(), 2u);
  EXPECT_EQ(request.orderedHTTPHeaderFields()[0],
            (std::pair<std::string, std::string>("Authorization", "3")));

  request.setValue(std::nullopt, "x-second");
  EXPECT_FALSE(request.value("X-Second"));
  request.setValue("", "x-request-code");
  EXPECT_EQ(request.value("X-Request-Code"), "");
  EXPECT_EQ(request.allHTTPHeaderFields(),
            (std::map<std::string, std::string>{{"Authorization", "3"}, {"x-request-code", ""}}));

  request.setAllHTTPHeaderFields({{"A", "a"}});
  EXPECT_EQ(request.allHTTPHeaderFields(), (std::map<std::string, std::string>{{"A", "a"}}));
}

TEST(HTTPURLResponseValue, ReadsItsHeaders) {
  HTTPURLResponse response(url("https://id.zentrel.com/a"), 201, "HTTP/1.1",
                           {{"Content-Type", "application/json; charset=\"UTF-8\""},
                            {"Content-Length", "42"},
                            {"Set-Cookie", "a=1"},
                            {"set-cookie", "b=2"}});
  EXPECT_EQ(response.statusCode(), 201);
  EXPECT_EQ(response.expectedContentLength(), 42);
  EXPECT_EQ(response.mimeType(), "application/json");
  EXPECT_EQ(response.textEncodingName(), "utf-8");
  EXPECT_EQ(response.value("SET-COOKIE"), "a=1, b=2");
  EXPECT_EQ(response.allHeaderFields().size(), 3u);

  HTTPURLResponse bare(url("https://id.zentrel.com/a"), 200, std::nullopt,
                       {{"Content-Length", "12x"}});
  EXPECT_EQ(bare.expectedContentLength(), -1);
  EXPECT_FALSE(bare.mimeType());
  EXPECT_FALSE(bare.textEncodingName());
}

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

TEST(NetworkEnvironmentValue, RejectsRoutesItCannotUse) {
  EXPECT_FALSE(NetworkEnvironment::addRoute("", 443, "127.0.0.1", 8443));
  EXPECT_FALSE(NetworkEnvironment::addRoute("id.zentrel.com", 0, "127.0.0.1", 8443));
  EXPECT_FALSE(NetworkEnvironment::addRoute("id.zentrel.com", 443, "127.0.0.1", 70000));
  EXPECT_FALSE(NetworkEnvironment::addRoute("id zentrel", 443, "127.0.0.1", 8443));
  EXPECT_FALSE(NetworkEnvironment::addRoute("id.zentrel.com:443:127.0.0.1"));
  EXPECT_FALSE(NetworkEnvironment::addRoute("id.zentrel.com:443:127.0.0.1:port"));
  EXPECT_TRUE(NetworkEnvironment::addRoute("id.zentrel.com:443:127.0.0.1:8443"));
  EXPECT_TRUE(NetworkEnvironment::addRoute("id.zentrel.com", 443, "[::1]", 8443));
  NetworkEnvironment::reset();
}

}  // namespace
