#include <sstream>
#include <string>
#include <vector>

#include <AVFoundation/AVCaptureSession.hpp>
#include <Foundation/Bundle.hpp>
#include <QuartzCore/CAShapeLayer.hpp>
#include <UIKit/UIVisualEffectView.hpp>
#include <UIKit/UIWindow.hpp>

#include "CameraFixture.hpp"
#include "ZTLogger.hpp"

using namespace cameratest;
using AVFoundation::AVCaptureDevice;
using AVFoundation::AVCaptureSession;
using ZentrelSDK::CameraDevice;
using ZentrelSDK::CameraFlashMode;
using ZentrelSDK::CameraOutputMode;
using ZentrelSDK::CameraOutputQuality;

namespace {

// Remembers every subview it was given, overlays included.
class RecordingView : public UIKit::UIView {
 public:
  using UIView::UIView;
  std::vector<std::shared_ptr<UIKit::UIView>> added;

 protected:
  void didAddSubview(UIKit::UIView& subview) override {
    added.push_back(std::static_pointer_cast<UIKit::UIView>(subview.shared_from_this()));
  }
};

class CameraControls : public CameraTest {
 protected:
  std::shared_ptr<QuartzCore::CAShapeLayer> focusRectangle() const {
    auto layer = preview();
    if (!layer) return nullptr;
    for (const auto& sub : layer->sublayers()) {
      if (auto shape = std::dynamic_pointer_cast<QuartzCore::CAShapeLayer>(sub)) return shape;
    }
    return nullptr;
  }
  // A two-finger pinch around the host's centre, from 100 points apart to 100 × scale.
  void pinch(UIKit::CGFloat scale) {
    const UIKit::CGPoint c{187.5, 400};
    auto window = ui->window();
    window->beginTouches({{c.x - 50, c.y}, {c.x + 50, c.y}});
    window->moveTouches({{c.x - 50 * scale, c.y}, {c.x + 50 * scale, c.y}});
    window->endTouches();
    ui->settle();
  }
  void pan(UIKit::CGFloat dy) {
    auto window = ui->window();
    window->beginTouches({{100, 500}});
    window->moveTouches({{100, 500 + dy / 2}});
    window->moveTouches({{100, 500 + dy}});
    window->endTouches();
    ui->settle();
  }
};

TEST_F(CameraControls, ModesCarryTheirOutputsAndPresets) {
  CaptureRig::setMicrophonePermission(AVFoundation::AVAuthorizationStatus::authorized);
  attach(CameraOutputMode::videoOnly);
  auto session = manager->captureSession();
  EXPECT_EQ(session->sessionPreset(), AVCaptureSession::Preset::high);
  manager->setCameraOutputMode(CameraOutputMode::stillImage);
  EXPECT_EQ(session->sessionPreset(), AVCaptureSession::Preset::photo);
  manager->setCameraOutputMode(CameraOutputMode::videoWithMic);
  EXPECT_EQ(session->sessionPreset(), AVCaptureSession::Preset::high);
  int microphones = 0;
  for (const auto& input : session->inputs()) {
    auto device = std::dynamic_pointer_cast<AVFoundation::AVCaptureDeviceInput>(input);
    microphones += device && device->device()->hasMediaType(AVFoundation::AVMediaType::audio);
  }
  EXPECT_EQ(microphones, 1);
}

TEST_F(CameraControls, QualityCyclesAndARefusedPresetStillStoresIt) {
  collectMessages();
  // Before the set-up only the value changes.
  EXPECT_EQ(manager->changeQualityMode(), CameraOutputQuality::low);
  EXPECT_EQ(manager->changeQualityMode(), CameraOutputQuality::medium);
  EXPECT_EQ(manager->changeQualityMode(), CameraOutputQuality::high);
  attach();
  auto session = manager->captureSession();
  CaptureRig::setAcceptedPresets({AVCaptureSession::Preset::photo, AVCaptureSession::Preset::high});
  EXPECT_EQ(manager->changeQualityMode(), CameraOutputQuality::low);
  EXPECT_EQ(manager->cameraOutputQuality(), CameraOutputQuality::low);
  EXPECT_EQ(session->sessionPreset(), AVCaptureSession::Preset::photo);
  ASSERT_TRUE(until([&] { return !messages.empty(); }));
  EXPECT_EQ(titles(), std::vector<std::string>{"Preset not supported"});
}

TEST_F(CameraControls, FlashCyclesIntoThePhotoOrTheTorch) {
  EXPECT_EQ(manager->changeFlashMode(), CameraFlashMode::on);
  EXPECT_EQ(manager->changeFlashMode(), CameraFlashMode::automatic);
  EXPECT_EQ(manager->changeFlashMode(), CameraFlashMode::off);
  attach(CameraOutputMode::videoOnly);
  manager->setFlashMode(CameraFlashMode::on);
  EXPECT_EQ(backCamera()->torchMode(), AVCaptureDevice::TorchMode::on);
  manager->setAnimateCameraDeviceChange(false);
  manager->setCameraDevice(CameraDevice::front);
  manager->setFlashMode(CameraFlashMode::off);
  // With the front camera no torch is touched.
  EXPECT_EQ(backCamera()->torchMode(), AVCaptureDevice::TorchMode::on);
  EXPECT_TRUE(manager->hasFlash(CameraDevice::back));
  EXPECT_FALSE(manager->hasFlash(CameraDevice::front));
}

struct PinchRow {
  UIKit::CGFloat scale;
  UIKit::CGFloat zoom;
};

class Pinch : public CameraControls, public ::testing::WithParamInterface<PinchRow> {};

TEST_P(Pinch, ScalesTheZoomAtItsStartWithinTheLimit) {
  auto hardware = CaptureRig::backCamera();
  hardware.format.videoMaxZoomFactor = 4.0;
  CaptureRig::setDevices({hardware, CaptureRig::frontCamera(), CaptureRig::microphone()});
  attach();
  manager->zoom(2.0);
  ASSERT_DOUBLE_EQ(backCamera()->videoZoomFactor(), 2.0);
  pinch(GetParam().scale);
  EXPECT_DOUBLE_EQ(backCamera()->videoZoomFactor(), GetParam().zoom);
}

INSTANTIATE_TEST_SUITE_P(Camera, Pinch,
                         ::testing::Values(PinchRow{3.0, 4.0}, PinchRow{1.5, 3.0},
                                           PinchRow{0.25, 1.0}));

TEST_F(CameraControls, ATapDrawsTheFocusSquareAndPointsTheCamera) {
  attach();
  manager->setExposureValue(0.1f);
  ui->tapAt({100, 200});
  auto shape = focusRectangle();
  ASSERT_NE(shape, nullptr);
  ASSERT_TRUE(shape->path.has_value());
  const auto& elements = shape->path->elements();
  ASSERT_FALSE(elements.empty());
  EXPECT_EQ(elements.front().point, (UIKit::CGPoint{62.5, 162.5}));
  bool farCorner = false;
  for (const auto& e : elements) farCorner |= e.point == UIKit::CGPoint{137.5, 237.5};
  EXPECT_TRUE(farCorner);
  EXPECT_FLOAT_EQ(manager->exposureValue(), 0.5f);
  // It goes about a second later.
  for (int i = 0; i < 12; ++i) advance(0.1);
  EXPECT_EQ(focusRectangle(), nullptr);
}

TEST_F(CameraControls, APanUpFromTheResetBrightens) {
  attach();
  ui->tapAt({100, 200});
  pan(-200);
  EXPECT_FLOAT_EQ(manager->exposureValue(), 0.75f);
  EXPECT_FLOAT_EQ(manager->translationY(), -200.0f);
  EXPECT_EQ(backCamera()->exposureMode(), AVCaptureDevice::ExposureMode::custom);
}

TEST_F(CameraControls, AttachingAgainDoesNotDoubleTheGestures) {
  attach();
  attach();
  ui->tapAt({100, 200});
  pan(-200);
  EXPECT_FLOAT_EQ(manager->translationY(), -200.0f);
  EXPECT_FLOAT_EQ(manager->exposureValue(), 0.75f);
}

TEST_F(CameraControls, ALockFailureLogsIt) {
  std::ostringstream log;
  ZentrelSDK::ZTLogger::setOutputStream(&log);
  Foundation::Bundle::setMainBundleIdentifier("com.zentrel.ZentrelSDK.Example");
  ZentrelSDK::ZTLogger::resetApplicationCheck();
  attach();
  CaptureRig::failLocks(AVCaptureDevice::Position::back, 1);
  manager->zoom(2.0);
  ZentrelSDK::ZTLogger::setOutputStream(nullptr);
  Foundation::Bundle::setMainBundleIdentifier(std::nullopt);
  ZentrelSDK::ZTLogger::resetApplicationCheck();
  EXPECT_NE(log.str().find("Error locking configuration"), std::string::npos);
  EXPECT_DOUBLE_EQ(backCamera()->videoZoomFactor(), 1.0);
}

struct FlipRow {
  const char* name;
  std::optional<std::string> hardware;
  bool blur;
};

class Flip : public CameraControls, public ::testing::WithParamInterface<FlipRow> {};

TEST_P(Flip, OverlaysBlurOrDimByHardware) {
  CaptureRig::setHardwareIdentifier(GetParam().hardware);
  auto recording = std::make_shared<RecordingView>(UIKit::CGRect{{0, 0}, {375, 812}});
  ui->root()->view()->addSubview(recording);
  host = recording;
  attach();
  manager->setCameraDevice(CameraDevice::front);
  // The overlay came and went at once; the snapshot stays to turn, then fades.
  ASSERT_EQ(recording->added.size(), 2u);
  const auto& overlay = recording->added[0];
  const bool blurred = std::dynamic_pointer_cast<UIKit::UIVisualEffectView>(overlay) != nullptr;
  EXPECT_EQ(blurred, GetParam().blur);
  if (!blurred) {
    EXPECT_EQ(overlay->backgroundColor(), UIKit::UIColor(0, 0.5));
  }
  ASSERT_EQ(host->subviews().size(), 1u);
  EXPECT_EQ(host->subviews()[0], recording->added[1]);
  EXPECT_EQ(preview()->opacity, 0.0f);
  EXPECT_EQ(manager->captureSession()->videoDevice()->position(), AVCaptureDevice::Position::front);
  ASSERT_TRUE(until([&] { return host->subviews().empty(); }));
  EXPECT_EQ(preview()->opacity, 1.0f);
}

INSTANTIATE_TEST_SUITE_P(Camera, Flip,
                         ::testing::Values(FlipRow{"iPad21", "iPad2,1", false},
                                           FlipRow{"iPad", "iPad", false},
                                           FlipRow{"modern", "iPhone14,2", true},
                                           FlipRow{"empty", "", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CameraControls, AFlipMidFlipSwitchesAtOnceWithoutASecondAnimation) {
  attach();
  manager->setCameraDevice(CameraDevice::front);
  manager->setCameraDevice(CameraDevice::back);
  EXPECT_EQ(host->subviews().size(), 1u);
  EXPECT_EQ(manager->captureSession()->videoDevice()->position(), AVCaptureDevice::Position::back);
  ASSERT_TRUE(until([&] { return host->subviews().empty(); }));
}

TEST_F(CameraControls, WithoutASnapshotThePreviewStaysVisible) {
  CaptureRig::setSnapshotsAvailable(false);
  attach();
  manager->setCameraDevice(CameraDevice::front);
  EXPECT_TRUE(host->subviews().empty());
  EXPECT_EQ(preview()->opacity, 1.0f);
  // The next flip animates again.
  CaptureRig::setSnapshotsAvailable(true);
  manager->setCameraDevice(CameraDevice::back);
  EXPECT_EQ(host->subviews().size(), 1u);
}

}  // namespace
