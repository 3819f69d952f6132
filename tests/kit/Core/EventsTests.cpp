#include <ZTEvents.hpp>
#include <ZTEventsRegistration.hpp>

#include <atomic>
#include <vector>

#include <gtest/gtest.h>
#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/NotificationCenter.hpp>
#include <Foundation/Thread.hpp>

#include "support/RunLoopSupport.hpp"

using namespace ZentrelSDK;

namespace {

using DocumentType = ZTPublicConstants::DocumentType;
using StatusType = ZTPublicConstants::DocumentStatusType;

// Each test listens as its own target and drops its listeners at the end.
class ZTEventsTest : public ::testing::Test {
 protected:
  ZTEvents& events() { return *ZTEvents::shared(); }
  // Emits from a worker thread, as the camera, the redirect parser and the screens' network
  // callbacks do.
  void onWorker(std::function<void()> emit) {
    Dispatch::DispatchQueue::global().async(std::move(emit));
  }
  // Records whether every completion ran on the main thread.
  void noteThread() {
    if (!Foundation::Thread::isMainThread()) offMain = true;
  }
  void TearDown() override {
    events().unregiterEvents(this);
    EXPECT_FALSE(offMain) << "a completion ran off the main thread";
  }
  std::atomic<bool> offMain{false};
};

std::shared_ptr<UIKit::UIImage> makeImage(double side) {
  return UIKit::UIImage::withSize({side, side}, UIKit::UIImage::RGBA{1, 2, 3, 255});
}

}  // namespace

TEST_F(ZTEventsTest, EventsWithoutPayloadReachTheirListenersOnTheMainThread) {
  struct Case {
    void (ZTEvents::*listen)(const ZTEvents::Target&, std::function<void()>);
    void (ZTEvents::*emit)();
    const char* name;
  };
  const Case cases[] = {
      {&ZTEvents::authEventListen, &ZTEvents::authEventEmit, "AUTH_EVENT_NAME"},
      {&ZTEvents::userDidEnterListen, &ZTEvents::userDidEnterEmit, "USER_DID_ENTER"},
      {&ZTEvents::documentModificationEventListen, &ZTEvents::documentModificationEventEmit,
       "DOCK_MODIFICATION_EVENT_NAME"},
      {&ZTEvents::documentForAppLoadingDissmissEventListen,
       &ZTEvents::documentForAppLoadingDissmissEventEmit, "DOCK_APP_CANCEL_EVENT_NAME"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::atomic<int> heard{0};
    (events().*c.listen)(this, [&] {
      noteThread();
      ++heard;
    });
    onWorker([this, emit = c.emit] { (events().*emit)(); });
    ASSERT_TRUE(zttest::runUntil([&] { return heard == 1; }));
    // The name on the wire is the event's own text; another object in the post is no matter.
    Foundation::NotificationCenter::defaultCenter().post(c.name, Foundation::Any::value(42));
    ASSERT_TRUE(zttest::runUntil([&] { return heard == 2; }));
    events().unregiterEvents(this);
  }
}

TEST_F(ZTEventsTest, DocumentListArrivesAsACopyOrEmptyWhenMissing) {
  std::vector<std::vector<ZTPublicDocumentElement>> received;
  events().documentForAppLoadingSuccessEventListen(this, [&](auto docks) {
    noteThread();
    received.push_back(std::move(docks));
  });
  const std::vector<ZTPublicDocumentElement> docks = {
      {"doc-1", 1700000000, StatusType::Verified, DocumentType::Passport},
      {"doc-2", 1700000500, StatusType::PendingReview, DocumentType::ProofOfAddress},
  };
  onWorker([this, docks] { events().documentForAppLoadingSuccessEventEmit(docks); });
  ASSERT_TRUE(zttest::runUntil([&] { return received.size() == 1; }));
  events().documentForAppLoadingSuccessEventEmit({});
  auto& center = Foundation::NotificationCenter::defaultCenter();
  center.post("DOCK_APP_SUCCESS_EVENT_NAME");
  center.post("DOCK_APP_SUCCESS_EVENT_NAME", Foundation::Any::value(std::string("docs")));
  ASSERT_TRUE(zttest::runUntil([&] { return received.size() == 4; }));

  ASSERT_EQ(received[0].size(), docks.size());
  EXPECT_EQ(received[0][1].id, "doc-2");
  EXPECT_EQ(received[0][1].documentType, DocumentType::ProofOfAddress);
  EXPECT_TRUE(received[1].empty());
  EXPECT_TRUE(received[2].empty());
  EXPECT_TRUE(received[3].empty());
}

TEST_F(ZTEventsTest, ImageForPreviewArrivesWithItsCropRecordOrNone) {
  struct Received {
    std::shared_ptr<UIKit::UIImage> image;
    std::optional<ZTCropModel> crop;
  };
  std::vector<Received> received;
  events().imagePickedForPreviewListen(this, [&](auto image, auto crop) {
    noteThread();
    received.push_back({std::move(image), crop});
  });
  auto first = makeImage(2);
  auto second = makeImage(3);
  const ZTCropModel crop{CoreGraphics::CGRect::make(10, 20, 300, 200),
                         CoreGraphics::CGRect::make(0, 0, 375, 812)};
  Foundation::NotificationCenter::defaultCenter().post("IMAGE_PICKED_FOR_PREVIEW",
                                                       Foundation::Any(first));
  onWorker([=, this] {
    events().imagePickedForPreviewEmit(first, crop);
    events().imagePickedForPreviewEmit(second);
  });
  ASSERT_TRUE(zttest::runUntil([&] { return received.size() == 2; }));

  EXPECT_EQ(received[0].image, first);
  ASSERT_TRUE(received[0].crop.has_value());
  EXPECT_EQ(received[0].crop->cropZone, crop.cropZone);
  EXPECT_EQ(received[0].crop->imageRect, crop.imageRect);
  EXPECT_EQ(received[1].image, second);
  EXPECT_FALSE(received[1].crop.has_value());
}

TEST_F(ZTEventsTest, OAuthEventsDeliverTheirTextOrAbsent) {
  using Listen =
      void (ZTEvents::*)(const ZTEvents::Target&, std::function<void(std::optional<std::string>)>);
  using Emit = void (ZTEvents::*)(std::optional<std::string>);
  struct Case {
    Listen listen;
    Emit emit;
    const char* name;
  };
  const Case cases[] = {
      {&ZTEvents::oauthLoginChallengeEventListen, &ZTEvents::oauthLoginChallengeEventEmit,
       "OAUTH_LOGIN_CHALLENGE_EVENT_NAME"},
      {&ZTEvents::oauthConsentChallengeEventListen, &ZTEvents::oauthConsentChallengeEventEmit,
       "OAUTH_CONSENT_CHALLENGE_EVENT_NAME"},
      {&ZTEvents::oauthCodeEventListen, &ZTEvents::oauthCodeEventEmit, "OAUTH_CODE_EVENT_NAME"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::optional<std::string>> received;
    (events().*c.listen)(this, [&](auto text) {
      noteThread();
      received.push_back(std::move(text));
    });
    // The redirect parser emits from the session's delegate queue.
    const std::string value = std::string("value of ") + c.name;
    onWorker([this, emit = c.emit, value] { (events().*emit)(value); });
    ASSERT_TRUE(zttest::runUntil([&] { return received.size() == 1; }));
    (events().*c.emit)(std::nullopt);
    (events().*c.emit)(std::string());
    Foundation::NotificationCenter::defaultCenter().post(c.name, Foundation::Any::value(12));
    ASSERT_TRUE(zttest::runUntil([&] { return received.size() == 4; }));
    EXPECT_EQ(received[0], std::optional<std::string>(value));
    EXPECT_EQ(received[1], std::nullopt);
    EXPECT_EQ(received[2], std::optional<std::string>(""));
    EXPECT_EQ(received[3], std::nullopt);
    events().unregiterEvents(this);
  }
}
