#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include <AVFoundation/AVCaptureVideoPreviewLayer.hpp>
#include <Dispatch/DispatchQueue.hpp>
#include <QuartzCore/CAShapeLayer.hpp>
#include <RunLoopCore/Clock.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UIColor.hpp>
#include <UIKit/UILabel.hpp>

#include "DocumentPhotosSupport.hpp"
#include "ZTCustomCameraView/ZTCameraViewController.hpp"
#include "ZTCustomCameraView/ZTCaptureTime.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoPreview/ZTPhotoPreviewViewController.hpp"

namespace photostest {
namespace {

namespace fs = std::filesystem;
using PlatformTesting::CaptureRig;
using ZentrelSDK::ZTCameraViewController;
using ZentrelSDK::ZTPhotoPreviewViewController;

// The capture screen over the simulated camera. The camera works on threads of its own, so
// the test waits for them in real time and moves the clock only once the camera has
// answered: a capture's time limit never runs out while the hardware is still at work.
class CaptureScreen : public DocumentPhotos {
 protected:
  void SetUp() override {
    DocumentPhotos::SetUp();
    // The sensor's frame: a portrait stored landscape, 400 × 300 with EXIF 6.
    const auto frame = tmp / "frame.jpg";
    ASSERT_TRUE(Foundation::writeData(quadrantJPEG(400, 300), frame).isSuccess());
    ASSERT_TRUE(CaptureRig::setFrameFiles({frame}).isSuccess());
    CaptureRig::setCameraPermission(AVFoundation::AVAuthorizationStatus::authorized);
    ZentrelSDK::ZTEvents::shared()->imagePickedForPreviewListen(
        this, [this](std::shared_ptr<UIImage>, std::optional<ZentrelSDK::ZTCropModel>) {
          frontAtPreviewEvents.push_back(ui->frontmost());
        });
  }

  std::shared_ptr<AVFoundation::AVCaptureVideoPreviewLayer> previewLayer() const {
    auto camera = ui->find("cameraView");
    if (!camera) return nullptr;
    for (const auto& layer : camera->layer()->sublayers())
      if (auto found = std::dynamic_pointer_cast<AVFoundation::AVCaptureVideoPreviewLayer>(layer))
        return found;
    return nullptr;
  }
  // Presented and appeared, with the live picture showing.
  bool cameraShowing() {
    advance(1);
    return front<ZTCameraViewController>() &&
           ui->runUntil([&] { return previewLayer() != nullptr; }, 20);
  }
  bool shutterStarted() const {
    auto layer = previewLayer();
    return layer && layer->animation("opacity");
  }
  // Taps the record button; true once the camera has answered with a photo (the shutter
  // blinks) or with a failure (an alert).
  bool tapRecord() {
    if (!ui->tap(ui->find<UIKit::UIButton>("recordButton"))) return false;
    return ui->runUntil([&] { return shutterStarted() || ui->alertMessage(); }, 20);
  }
  // Lets the shutter end and the picture be written; true once the screen is closing or
  // has shown an alert.
  bool finishCapture(const std::shared_ptr<ZTCameraViewController>& camera) {
    advance(1);
    return ui->runUntil([&] { return camera->isBeingDismissed() || ui->alertMessage(); }, 20);
  }
  // Runs `change` on the camera's stored picture before the screen reads it. The block is due
  // at the very time of the shutter's completion, so it runs right after it on the main queue
  // and holds the queue (polling the disk) until the camera has written the picture; the
  // camera's report then waits behind it.
  void beforeTheScreenReads(std::function<void(const fs::path&)> change) {
    auto shutter = previewLayer()->animation("opacity");
    ASSERT_NE(shutter, nullptr);
    // In whole nanoseconds, as the layer and the transaction count them.
    const auto end = RunLoopCore::toNanoseconds(shutter->beginTime) +
                     RunLoopCore::toNanoseconds(shutter->effectiveDuration());
    const auto delay = end - Foundation::Clock::current().uptimeNanoseconds();
    const auto folder = cacheFolder();
    Dispatch::DispatchQueue::main().asyncAfter(
        RunLoopCore::toSeconds(delay), [folder, change = std::move(change)] {
          const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
          while (std::chrono::steady_clock::now() < limit) {
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(folder, ec)) {
              const auto name = entry.path().filename().string();
              if (name.front() != '.' && entry.path().extension() == ".jpg") {
                change(entry.path());
                return;
              }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
        });
  }

  // The screen as a failure leaves it: ready for another try.
  void expectReady(const char* name) {
    auto button = ui->find<UIKit::UIButton>("recordButton");
    EXPECT_TRUE(button->isEnabled()) << name;
    EXPECT_EQ(button->backgroundColor(), UIKit::UIColor::white()) << name;
    auto label = ui->find<UIKit::UILabel>("timerLabel");
    EXPECT_TRUE(label->isHidden()) << name;
    EXPECT_EQ(label->text().value_or("-"), "") << name;
    EXPECT_EQ(ringShown(), 0.0) << name;
  }
  double ringShown() const {
    for (const auto& layer : ui->find("recordView")->layer()->sublayers()) {
      auto circle = std::dynamic_pointer_cast<QuartzCore::CAShapeLayer>(layer->mask());
      if (layer->name != "circleShapeLayer" || !circle) continue;
      const auto shown = circle->presentationValue("strokeEnd");
      return shown ? std::get<UIKit::CGFloat>(*shown) : -1;
    }
    return -1;
  }

  std::vector<std::shared_ptr<UIKit::UIViewController>> frontAtPreviewEvents;
};

TEST_F(CaptureScreen, APhotoIsCutToTheFrameTurnedAndStored) {
  processor().openCamera();
  ASSERT_TRUE(cameraShowing());
  auto camera = front<ZTCameraViewController>();
  ASSERT_TRUE(tapRecord());
  EXPECT_FALSE(ui->find<UIKit::UIButton>("recordButton")->isEnabled());
  ASSERT_TRUE(finishCapture(camera));
  EXPECT_FALSE(ui->alertMessage());
  advance(1);
  // The preview comes after the capture screen has gone.
  ASSERT_EQ(frontAtPreviewEvents.size(), 1u);
  EXPECT_EQ(frontAtPreviewEvents[0], ui->root());
  camera.reset();
  advance(1);
  ASSERT_NE(front<ZTPhotoPreviewViewController>(), nullptr);

  // 90, 180, 270, 360, then 90 again.
  for (int turn = 0; turn < 5; ++turn) {
    ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>("turnToRightButton")));
    advance(1);
  }
  ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>("addButton")));
  advance(1);
  EXPECT_EQ(ui->frontmost(), ui->root());
  expectOneStoredCutTurnedRight();
}

TEST_F(CaptureScreen, AFailedCaptureShowsWhyAndTheButtonWorksAgain) {
  enum class Trouble { cameraFails, folderTaken, pictureGone, pictureNoImage };
  const struct {
    const char* name;
    Trouble trouble;
    const char* message;  // null: the error's own text
  } rows[] = {
      {"the camera fails", Trouble::cameraFails, nullptr},
      {"the picture cannot be written", Trouble::folderTaken, nullptr},
      {"the picture is gone before it is read", Trouble::pictureGone,
       "The photo could not be read"},
      {"the picture is no image", Trouble::pictureNoImage, "The photo could not be read"},
  };
  for (const auto& row : rows) {
    fs::remove_all(cacheFolder());
    processor().openCamera();
    ASSERT_TRUE(cameraShowing()) << row.name;
    auto camera = front<ZTCameraViewController>();
    if (row.trouble == Trouble::cameraFails) {
      CaptureRig::injectPhotoFault(CaptureRig::PhotoFault::error);
    } else if (row.trouble == Trouble::folderTaken) {
      // The clock stands still until the tap: the camera names its file by this time.
      fs::create_directories(fs::path(cacheFolder()) / (ZentrelSDK::captureTimeText() + ".jpg") /
                             "taken");
    }
    ASSERT_TRUE(tapRecord()) << row.name;
    if (row.trouble == Trouble::pictureGone) {
      beforeTheScreenReads([](const fs::path& picture) { fs::remove(picture); });
    } else if (row.trouble == Trouble::pictureNoImage) {
      beforeTheScreenReads([](const fs::path& picture) {
        (void)Foundation::writeData(Foundation::dataFromString("no picture"), picture.string());
      });
    }
    if (!ui->alertMessage()) {
      ASSERT_TRUE(finishCapture(camera)) << row.name;
    }
    EXPECT_EQ(ui->alertTitle(), "Error") << row.name;
    if (row.message) {
      EXPECT_EQ(ui->alertMessage(), row.message) << row.name;
    } else {
      EXPECT_FALSE(ui->alertMessage().value_or("").empty()) << row.name;
    }
    EXPECT_FALSE(camera->isBeingDismissed()) << row.name;
    expectReady(row.name);
    advance(6);  // the alert closes by itself
    EXPECT_EQ(front<ZTCameraViewController>(), camera) << row.name;

    // Another try takes the photo.
    ASSERT_TRUE(tapRecord()) << row.name;
    ASSERT_TRUE(finishCapture(camera)) << row.name;
    EXPECT_FALSE(ui->alertMessage()) << row.name;
    advance(2);
    EXPECT_NE(front<ZTPhotoPreviewViewController>(), nullptr) << row.name;
    ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>("retakeButton"))) << row.name;
    advance(1);
    ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>("cancelButton"))) << row.name;
    advance(1);
    EXPECT_EQ(ui->frontmost(), ui->root()) << row.name;
  }
  EXPECT_TRUE(stored.empty());
}

class VideoCaptureScreen : public CaptureScreen {
 protected:
  std::shared_ptr<ZTCameraViewController> presentVideoScreen() {
    auto screen = std::make_shared<ZTCameraViewController>();
    screen->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
    screen->mediaType = ZentrelSDK::MediaType::video;
    ui->root()->present(screen, true);
    return cameraShowing() ? screen : nullptr;
  }
  std::size_t movies() const {
    std::size_t count = 0;
    std::error_code ec;
    const auto folder = Foundation::FileManager::defaultManager().temporaryDirectory().path();
    for (const auto& entry : fs::directory_iterator(folder, ec))
      if (entry.path().filename().string().starts_with("tempMovie")) ++count;
    return count;
  }
  std::string label() const { return ui->find<UIKit::UILabel>("timerLabel")->text().value_or(""); }
};

TEST_F(VideoCaptureScreen, TheCountdownRecordsAndThenAnnouncesTheMovie) {
  auto screen = presentVideoScreen();
  ASSERT_NE(screen, nullptr);
  ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>("recordButton")));
  EXPECT_EQ(ui->find<UIKit::UIButton>("recordButton")->backgroundColor(), UIKit::UIColor::red());
  std::vector<std::string> shown{label()};
  for (int tick = 0; tick < 10; ++tick) {
    advance(1);
    shown.push_back(label());
  }
  EXPECT_EQ(shown,
            (std::vector<std::string>{"10", "9", "8", "7", "6", "5", "4", "3", "2", "1", "0"}));
  EXPECT_TRUE(stored.empty());
  advance(1);  // the tick after "0" stops the recording
  ASSERT_TRUE(ui->runUntil([&] { return !stored.empty(); }, 20));
  ASSERT_EQ(stored.size(), 1u);
  ASSERT_TRUE(stored[0]);
  EXPECT_TRUE(stored[0]->path().find("tempMovie") != std::string::npos) << stored[0]->path();
  // The screen stays, its button spent.
  EXPECT_EQ(front<ZTCameraViewController>(), screen);
  EXPECT_FALSE(ui->find<UIKit::UIButton>("recordButton")->isEnabled());
  ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>("cancelButton")));
  advance(1);
}

TEST_F(VideoCaptureScreen, AScreenClosedMidCountdownStopsCountingAndGoes) {
  const struct {
    const char* name;
    bool byCancel;  // else closed by the controller below it
  } rows[] = {{"cancelled", true}, {"closed from below", false}};
  for (const auto& row : rows) {
    auto screen = presentVideoScreen();
    ASSERT_NE(screen, nullptr) << row.name;
    const auto before = movies();
    ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>("recordButton"))) << row.name;
    advance(1);
    advance(1);
    auto timerLabel = ui->find<UIKit::UILabel>("timerLabel");
    EXPECT_EQ(timerLabel->text(), "8") << row.name;
    if (row.byCancel) {
      ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>("cancelButton"))) << row.name;
    } else {
      ui->root()->dismiss(true);
    }
    std::weak_ptr<ZTCameraViewController> gone = screen;
    screen.reset();
    advance(1);
    // Nothing holds the closed screen: not the countdown either.
    EXPECT_TRUE(gone.expired()) << row.name;
    for (int tick = 0; tick < 15; ++tick) advance(1);
    ui->settle();
    EXPECT_EQ(timerLabel->text(), "8") << row.name;
    // No stop request found a missing recording, and nothing new was recorded.
    EXPECT_FALSE(ui->alertMessage()) << row.name;
    EXPECT_EQ(ui->frontmost(), ui->root()) << row.name;
    EXPECT_EQ(movies(), before + 1) << row.name;
    EXPECT_TRUE(stored.empty()) << row.name;
  }
}

}  // namespace
}  // namespace photostest
