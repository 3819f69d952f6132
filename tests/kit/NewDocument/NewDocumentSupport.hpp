// A signed-in user with an access token, the manual clock, a key window, the simulated
// camera, and the photo routes the source sheet opens, driven as a user drives them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include <AVFoundation/AVCaptureVideoPreviewLayer.hpp>
#include <Foundation/Data.hpp>
#include <Foundation/FileManager.hpp>
#include <Foundation/URL.hpp>
#include <QuartzCore/CAShapeLayer.hpp>
#include <Testing/CaptureRig.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIAlertController.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIImagePickerController.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTMediaPhotoCropViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoPreview/ZTPhotoPreviewViewController.hpp"
#include "ZTCustomCameraView/ZTPhotoProcessor.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"
#include "ZTDocuments/ZTDocumentsLoadingCore/ZTAppDocuments.hpp"
#include "ZTDocumentsManager.hpp"
#include "ZTEvents.hpp"
#include "ZTOAuth/ZTOAuthCore.hpp"
#include "ZTPrivateDocumentsManager.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "support/CaptureSupport.hpp"
#include "support/SandboxFixture.hpp"
#include "support/SignedIn.hpp"
#include "support/TemporaryFolder.hpp"

namespace newdoc {

inline constexpr const char* kUser = "user1@example.com";
inline constexpr const char* kApp = "sandbox-app";

inline std::filesystem::path cacheFolder() {
  return std::filesystem::path(
             Foundation::FileManager::defaultManager().temporaryDirectory().path()) /
         std::string(ZentrelSDK::ZTConstants::DOCKS_CACHE_FOLDER);
}

// A picture of noise, so its JPEG stays large: about 0.6 bytes a pixel.
inline std::shared_ptr<UIKit::UIImage> noise(std::size_t width, std::size_t height,
                                             unsigned seed = 1) {
  std::mt19937 random(seed);
  UIKit::UIImage::Pixels pixels(width * height * 4);
  for (std::size_t i = 0; i + 4 <= pixels.size(); i += 4) {
    const auto word = random();
    pixels[i] = static_cast<std::uint8_t>(word);
    pixels[i + 1] = static_cast<std::uint8_t>(word >> 8);
    pixels[i + 2] = static_cast<std::uint8_t>(word >> 16);
    pixels[i + 3] = 255;
  }
  return UIKit::UIImage::withPixels(width, height, std::move(pixels));
}

// A plain picture; one wider than 5:7 lies inside the crop screen's hole and is stored
// whole, so its width tells it apart.
inline std::shared_ptr<UIKit::UIImage> plain(double width, double height) {
  return UIKit::UIImage::withSize({width, height}, UIKit::UIImage::RGBA{200, 40, 40, 255});
}

inline std::string contents(const Foundation::URL& url) {
  auto bytes = Foundation::dataContentsOf(url);
  return bytes.isSuccess() ? std::string(bytes.value().begin(), bytes.value().end())
                           : std::string();
}

// Writes the photo into the cache folder, as the photo store does.
inline Foundation::URL cachePhoto(const std::string& name, const Foundation::Data& bytes) {
  std::filesystem::create_directories(cacheFolder());
  const auto path = (cacheFolder() / name).string();
  EXPECT_TRUE(Foundation::writeData(bytes, path).isSuccess());
  return Foundation::URL::fileURLWithPath(path);
}

inline std::shared_ptr<ZentrelSDK::ZTCameraData> photo(const Foundation::URL& url) {
  return std::make_shared<ZentrelSDK::ZTCameraData>(url, ZentrelSDK::MediaType::photo);
}

// The percentages the ring drew at full opacity, in order, read back from its arcs.
inline std::vector<int> drawnPercents(const UIKit::UIView& circle) {
  std::vector<int> percents;
  for (const auto& layer : circle.layer()->sublayers()) {
    auto arc = std::dynamic_pointer_cast<QuartzCore::CAShapeLayer>(layer);
    if (!arc || !arc->path || !arc->strokeColor || arc->strokeColor->alpha < 1.0) continue;
    for (const auto& element : arc->path->elements()) {
      if (element.type != CoreGraphics::CGPath::ElementType::addArc) continue;
      const double sweep = element.arc.endAngle - element.arc.startAngle;
      percents.push_back(static_cast<int>(std::lround(sweep / (2 * std::numbers::pi) * 100)));
    }
  }
  return percents;
}

class NewDocumentTest : public zttest::SandboxTest {
 protected:
  static void SetUpTestSuite() {
    ZentrelSDK::ZTOAuthCore::setup(ZentrelSDK::ZTOAuthCore::Config(kApp));
    ASSERT_TRUE(zttest::useOwnTemporaryDirectory());
  }
  void SetUp() override {
    zttest::SandboxTest::SetUp();
    PlatformTesting::ManualClock::install();
    zttest::signInWithGrant(sb(), kUser, kApp);
    ZentrelSDK::ZTAppDocuments::shared()->setDockTypeList(
        {ZentrelSDK::ZTPublicConstants::DocumentType::Passport});
    std::filesystem::remove_all(cacheFolder());
    PlatformTesting::CaptureRig::reset();
    PlatformTesting::CaptureRig::setCameraPermission(
        AVFoundation::AVAuthorizationStatus::authorized);
    ui = std::make_unique<PlatformTesting::UI>();
    ZentrelSDK::ZTEvents::shared()->mediaCreatedEventListen(
        &stored, [this](std::shared_ptr<ZentrelSDK::ZTCameraData> media) {
          if (media && media->getURL()) stored.push_back(*media->getURL());
        });
  }
  void TearDown() override {
    auto& events = *ZentrelSDK::ZTEvents::shared();
    events.unregiterEvents(&stored);
    // Handlers a test added on the fixture go with it, also after an early return.
    events.unregiterEvents(this);
    // Routes and captures left waiting end with their test.
    events.unregiterEvents(ZentrelSDK::ZTPhotoProcessor::shared());
    events.unregiterEvents(ZentrelSDK::ZTDocumentsManager::shared());
    events.unregiterEvents(ZentrelSDK::ZTPrivateDocumentsManager::shared());
    pass(1.0);
    ui.reset();
    pass(1.0);
    ZentrelSDK::ZTTokenUtilites::shared()->clearTokens();
    std::filesystem::remove_all(cacheFolder());
  }

  // Moves the clock in steps of 0.1 s, letting the main queue and the network answer.
  void pass(double seconds) {
    auto& clock = PlatformTesting::ManualClock::install();
    for (double t = 0; t < seconds - 1e-9; t += 0.1) {
      clock.advance(0.1);
      if (ui) ui->settle();
    }
  }
  // Moves the clock in steps of 0.1 s until `done` holds, for at most `seconds`.
  bool passUntil(const std::function<bool()>& done, double seconds = 5) {
    for (double t = 0; t < seconds; t += 0.1) {
      if (done()) return true;
      pass(0.1);
    }
    return done();
  }
  // Serves the main run loop until `done` holds, the manual clock following real time, so
  // animations end while work on other threads (the camera, the network) gets its time.
  bool follow(const std::function<bool()>& done, double realSeconds = 30) {
    auto last = std::chrono::steady_clock::now();
    return ui->runUntil(
        [&] {
          const auto now = std::chrono::steady_clock::now();
          const double real = std::chrono::duration<double>(now - last).count();
          if (real >= 0.01) {
            ui->advance(real);
            last = now;
          }
          return done();
        },
        realSeconds);
  }
  // `n` requests of `endpoint` came, each answered.
  bool answered(std::string_view endpoint, std::size_t n) const {
    const auto logged = sb().requests(endpoint);
    return logged.size() == n &&
           std::all_of(logged.begin(), logged.end(), [](const auto& r) { return r.status != 0; });
  }
  template <class C>
  std::shared_ptr<C> frontmost() const {
    return std::dynamic_pointer_cast<C>(ui->frontmost());
  }
  template <class C>
  bool waitFor(double seconds = 10.0) {
    return ui->runUntil([&] { return frontmost<C>() != nullptr; }, seconds);
  }
  // The frontmost controller is a `C` and no presentation or dismissal is under way.
  template <class C = UIKit::UIViewController>
  bool calm() const {
    auto front = frontmost<C>();
    if (!front || front->isBeingPresented() || front->isBeingDismissed()) return false;
    for (auto vc = ui->root(); vc; vc = vc->presentedViewController()) {
      if (vc->isBeingPresented() || vc->isBeingDismissed()) return false;
    }
    return true;
  }
  // On the open source sheet: "Choose from library", a pick of `image` and done on the crop
  // screen. True when the processor stored the cut picture.
  bool chooseFromLibrary(const std::shared_ptr<UIKit::UIImage>& image) {
    const auto before = stored.size();
    if (!ui->chooseAction("Choose from library")) return false;
    if (!passUntil([&] { return calm<UIKit::UIImagePickerController>(); })) return false;
    if (!ui->pick(image)) return false;
    if (!passUntil([&] { return calm<ZentrelSDK::ZTMediaPhotoCropViewController>(); }))
      return false;
    if (!ui->tap(ui->find<UIKit::UIButton>("doneButton"))) return false;
    return passUntil([&] { return stored.size() == before + 1 && calm(); });
  }
  // On the open source sheet: "Take photo", the shutter once the live picture shows, and
  // the photo preview's confirm. True when the processor stored the picture.
  bool takePhoto() {
    const auto before = stored.size();
    if (!ui->chooseAction("Take photo")) return false;
    if (!follow([&] { return livePicture() && calm(); })) return false;
    if (!ui->tap(ui->find<UIKit::UIButton>("recordButton"))) return false;
    if (!follow([&] { return calm<ZentrelSDK::ZTPhotoPreviewViewController>(); })) return false;
    if (!ui->tap(ui->find<UIKit::UIButton>("addButton"))) return false;
    return passUntil([&] { return stored.size() == before + 1 && calm(); });
  }
  bool livePicture() const {
    auto view = ui->find("cameraView");
    if (!view) return false;
    for (const auto& layer : view->layer()->sublayers()) {
      if (std::dynamic_pointer_cast<AVFoundation::AVCaptureVideoPreviewLayer>(layer)) return true;
    }
    return false;
  }
  // `manager` begins a capture and the user picks `image` from the library: the preview
  // opens with it.
  void openPreview(ZentrelSDK::ZTDocumentsManager& manager,
                   const std::shared_ptr<UIKit::UIImage>& image,
                   ZentrelSDK::ZTPublicConstants::DocumentType type =
                       ZentrelSDK::ZTPublicConstants::DocumentType::Passport) {
    manager.beginUploadingNewDocument(type);
    EXPECT_TRUE(passUntil([&] { return calm<UIKit::UIAlertController>(); }));
    EXPECT_TRUE(chooseFromLibrary(image));
    EXPECT_TRUE(passUntil([&] { return calm<ZentrelSDK::ZTNewDocumentPreviewViewController>(); }));
  }
  // A tap on `view` of the preview opens the sheet; the user picks `image` for that side.
  bool retake(const std::shared_ptr<UIKit::UIView>& view,
              const std::shared_ptr<UIKit::UIImage>& image) {
    if (!ui->tap(view)) return false;
    if (!passUntil([&] { return calm<UIKit::UIAlertController>(); })) return false;
    return chooseFromLibrary(image) &&
           passUntil([&] { return calm<ZentrelSDK::ZTNewDocumentPreviewViewController>(); });
  }

  // Every picture the processor stored, in order.
  std::vector<Foundation::URL> stored;
  std::unique_ptr<PlatformTesting::UI> ui;
};

// Also hears how runs end for the host: modifications announced, documents delivered.
class NewDocumentRunTest : public NewDocumentTest {
 protected:
  void SetUp() override {
    NewDocumentTest::SetUp();
    auto& events = *ZentrelSDK::ZTEvents::shared();
    events.documentModificationEventListen(this, [this] { ++modifications; });
    events.documentForAppLoadingSuccessEventListen(
        this, [this](std::vector<ZentrelSDK::ZTPublicDocumentElement> docks) {
          successes.push_back(docks);
        });
  }

  int modifications = 0;
  std::vector<std::vector<ZentrelSDK::ZTPublicDocumentElement>> successes;
};

}  // namespace newdoc
