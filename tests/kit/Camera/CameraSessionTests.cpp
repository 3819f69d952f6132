#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <UIKit/UIAlertController.hpp>

#include "CameraFixture.hpp"
#include "support/LateCallbacks.hpp"

using namespace cameratest;
using AVFoundation::AVAuthorizationStatus;
using ZentrelSDK::CameraOutputMode;
using ZentrelSDK::CameraState;

namespace {

using Messages = std::vector<std::pair<std::string, std::string>>;

using CameraSession = CameraTest;

struct AttachRow {
  const char* name;
  AVAuthorizationStatus status;
  bool popupAutomatically;
  bool camera;
  CameraState expected;
  bool setsUp;
  Messages messages;
};

class Attach : public CameraSession, public ::testing::WithParamInterface<AttachRow> {};

TEST_P(Attach, ReturnsTheStateAndSetsUpOnlyWhenItMay) {
  const auto& row = GetParam();
  CaptureRig::setCameraPermission(row.status);
  if (!row.camera) CaptureRig::setDevices({CaptureRig::microphone()});
  manager->setShowAccessPermissionPopupAutomatically(row.popupAutomatically);
  collectMessages();

  EXPECT_EQ(manager->addPreviewLayerToView(host), row.expected);
  if (row.setsUp) {
    ASSERT_TRUE(until([&] { return previewShown(); }));
    EXPECT_TRUE(manager->captureSession()->isRunning());
    EXPECT_EQ(preview()->frame(), host->layer()->bounds());
    EXPECT_TRUE(host->clipsToBounds());
  } else {
    for (int i = 0; i < 10; ++i) advance(0.1);
    EXPECT_FALSE(manager->cameraIsReady());
    EXPECT_EQ(manager->captureSession(), nullptr);
    EXPECT_EQ(preview(), nullptr);
  }
  // One check per attach: one message at most.
  EXPECT_EQ(messages, row.messages);
}

INSTANTIATE_TEST_SUITE_P(
    Camera, Attach,
    ::testing::Values(
        AttachRow{
            "granted", AVAuthorizationStatus::authorized, true, true, CameraState::ready, true, {}},
        // The simulated camera opens only once granted, so its input fails meanwhile.
        AttachRow{"notDetermined",
                  AVAuthorizationStatus::notDetermined,
                  true,
                  true,
                  CameraState::notDetermined,
                  true,
                  {{"Device setup error occured", "Cannot use Back Camera"}}},
        AttachRow{"notDeterminedNoPopup",
                  AVAuthorizationStatus::notDetermined,
                  false,
                  true,
                  CameraState::notDetermined,
                  false,
                  {}},
        AttachRow{
            "denied",
            AVAuthorizationStatus::denied,
            true,
            true,
            CameraState::accessDenied,
            false,
            {{"Camera access denied",
              "You need to go to settings app and grant acces to the camera device to use it."}}},
        AttachRow{"noCamera",
                  AVAuthorizationStatus::authorized,
                  true,
                  false,
                  CameraState::noDeviceFound,
                  false,
                  {{"Camera unavailable", "The device does not have a camera."}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CameraSession, MessagesStaySilentUnlessAskedFor) {
  CaptureRig::setCameraPermission(AVAuthorizationStatus::denied);
  manager->setShowErrorBlock([this](const std::string& title, const std::string& text) {
    messages.emplace_back(title, text);
  });
  EXPECT_EQ(manager->currentCameraStatus(), CameraState::accessDenied);
  advance(1);
  EXPECT_TRUE(messages.empty());
}

TEST_F(CameraSession, DefaultMessageIsAnAlertOverTheKeyWindow) {
  CaptureRig::setCameraPermission(AVAuthorizationStatus::denied);
  manager->setShowErrorsToUsers(true);
  manager->currentCameraStatus();
  ASSERT_TRUE(until([&] { return ui->alertTitle().has_value(); }));
  EXPECT_EQ(ui->alertTitle(), "Camera access denied");
  auto alert = std::dynamic_pointer_cast<UIKit::UIAlertController>(ui->frontmost());
  ASSERT_NE(alert, nullptr);
  ASSERT_EQ(alert->actions().size(), 1u);
  EXPECT_EQ(alert->actions()[0]->title(), "OK");
}

TEST_F(CameraSession, RemoveThenResumeBuildsANewSessionInTheSameView) {
  attach();
  const auto first = manager->captureSession();
  manager->setCameraDevice(ZentrelSDK::CameraDevice::front);
  manager->stopAndRemoveCaptureSession();
  EXPECT_FALSE(manager->cameraIsReady());
  EXPECT_EQ(manager->captureSession(), nullptr);
  EXPECT_EQ(manager->cameraDevice(), ZentrelSDK::CameraDevice::back);
  EXPECT_TRUE(manager->animateCameraDeviceChange());

  manager->resumeCaptureSession();
  ASSERT_TRUE(until([&] { return manager->cameraIsReady(); }));
  ASSERT_TRUE(until([&] {
    auto layer = preview();
    return layer && layer->session() == manager->captureSession();
  }));
  EXPECT_NE(manager->captureSession(), first);
  EXPECT_EQ(manager->captureSession()->videoDevice(), backCamera());
}

TEST_F(CameraSession, StopThenResumeRestartsTheSameSession) {
  attach();
  const auto session = manager->captureSession();
  manager->stopCaptureSession();
  EXPECT_FALSE(session->isRunning());
  manager->resumeCaptureSession();
  ASSERT_TRUE(until([&] { return session->isRunning(); }));
  EXPECT_EQ(manager->captureSession(), session);
}

TEST_F(CameraSession, AttachWhileTheSetUpIsQueuedOnlyMovesTheView) {
  auto second = std::make_shared<UIKit::UIView>(UIKit::CGRect{{0, 0}, {200, 300}});
  ui->root()->view()->addSubview(second);
  auto completions = std::make_shared<std::atomic<int>>(0);
  manager->addLayerPreviewToView(host, CameraOutputMode::stillImage,
                                 [completions] { ++*completions; });
  const auto session = manager->captureSession();
  manager->addLayerPreviewToView(second, CameraOutputMode::stillImage,
                                 [completions] { ++*completions; });
  EXPECT_EQ(manager->captureSession(), session);
  ASSERT_TRUE(until([&] { return !second->layer()->sublayers().empty() && *completions == 2; }));
  EXPECT_EQ(preview(), nullptr);
  // One set-up: one camera input was added.
  int added = 0;
  for (const auto& line : CaptureRig::configurationLog()) added += line == "add input Back Camera";
  EXPECT_EQ(added, 1);
}

TEST_F(CameraSession, SetUpQueuedWhileARemovedOneIsStillConfiguringMakesTheCameraReady) {
  CaptureRig::delayCommits(0.1);
  manager->addPreviewLayerToView(host);
  const auto removed = manager->captureSession();
  // The first set-up waits in its commit, past its own checks.
  ASSERT_TRUE(ui->runUntil([] { return CaptureRig::waitingCommits() == 1; }));
  manager->stopAndRemoveCaptureSession();
  attach();
  EXPECT_NE(manager->captureSession(), removed);
  EXPECT_TRUE(manager->captureSession()->isRunning());
  EXPECT_FALSE(removed->isRunning());
}

TEST_F(CameraSession, AttachingToASecondViewMovesThePreviewAndCompletesAtOnce) {
  attach();
  auto second = std::make_shared<UIKit::UIView>(UIKit::CGRect{{0, 0}, {200, 300}});
  ui->root()->view()->addSubview(second);
  auto completed = zttest::flag();  // at once, on this thread
  manager->addLayerPreviewToView(second, CameraOutputMode::stillImage, zttest::raise(completed));
  EXPECT_TRUE(*completed);
  ASSERT_TRUE(until([&] { return preview() == nullptr && !second->layer()->sublayers().empty(); }));
}

struct PermissionRow {
  const char* name;
  CameraOutputMode mode;
  bool cameraGrants;
  bool microphoneGrants;
  bool expected;
};

class Permission : public CameraSession, public ::testing::WithParamInterface<PermissionRow> {};

TEST_P(Permission, AnswersOnTheMainQueue) {
  const auto& row = GetParam();
  CaptureRig::setCameraPermission(AVAuthorizationStatus::notDetermined, row.cameraGrants);
  CaptureRig::setMicrophonePermission(AVAuthorizationStatus::notDetermined, row.microphoneGrants);
  manager->setCameraOutputMode(row.mode);
  struct Heard {
    std::optional<bool> answer;
    bool onMain = false;
  };
  auto heard = std::make_shared<Heard>();
  manager->askUserForCameraPermission([heard](bool granted) {
    heard->answer = granted;
    heard->onMain = Dispatch::DispatchQueue::main().isCurrent();
  });
  ASSERT_TRUE(until([&] { return heard->answer.has_value(); }));
  EXPECT_EQ(*heard->answer, row.expected);
  EXPECT_TRUE(heard->onMain);
}

INSTANTIATE_TEST_SUITE_P(
    Camera, Permission,
    ::testing::Values(
        PermissionRow{"photoGranted", CameraOutputMode::stillImage, true, false, true},
        PermissionRow{"photoRefused", CameraOutputMode::stillImage, false, true, false},
        PermissionRow{"micBoth", CameraOutputMode::videoWithMic, true, true, true},
        PermissionRow{"micNoCamera", CameraOutputMode::videoWithMic, false, true, false},
        PermissionRow{"micNoMicrophone", CameraOutputMode::videoWithMic, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct OrientationRow {
  const char* name;
  UIKit::UIDeviceOrientation device;
  bool keep;
  AVFoundation::AVCaptureVideoOrientation preview;
};

class Orientation : public CameraSession, public ::testing::WithParamInterface<OrientationRow> {};

TEST_P(Orientation, PreviewFollowsTheDeviceUnlessKept) {
  const auto& row = GetParam();
  attach();
  manager->setShouldKeepViewAtOrientationChanges(row.keep);
  CaptureRig::setStatusBarOrientation(UIKit::UIInterfaceOrientation::landscapeRight);
  CaptureRig::setDeviceOrientation(row.device);
  manager->resetOrientation();
  ASSERT_TRUE(until([&] { return preview()->connection()->videoOrientation() == row.preview; }));
}

INSTANTIATE_TEST_SUITE_P(
    Camera, Orientation,
    ::testing::Values(OrientationRow{"landscapeLeft", UIKit::UIDeviceOrientation::landscapeLeft,
                                     false,
                                     AVFoundation::AVCaptureVideoOrientation::landscapeRight},
                      OrientationRow{"landscapeRight", UIKit::UIDeviceOrientation::landscapeRight,
                                     false, AVFoundation::AVCaptureVideoOrientation::landscapeLeft},
                      OrientationRow{"upsideDown", UIKit::UIDeviceOrientation::portraitUpsideDown,
                                     false,
                                     AVFoundation::AVCaptureVideoOrientation::portraitUpsideDown},
                      OrientationRow{"kept", UIKit::UIDeviceOrientation::landscapeLeft, true,
                                     AVFoundation::AVCaptureVideoOrientation::portrait}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
