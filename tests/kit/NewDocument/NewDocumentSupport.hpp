// A signed-in user with an access token, the manual clock, a key window, and photos written
// into the kit's cache folder as the photo store writes them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include <Foundation/Data.hpp>
#include <Foundation/FileManager.hpp>
#include <Foundation/URL.hpp>
#include <QuartzCore/CAShapeLayer.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTDocuments/ZTDocumentsLoadingCore/ZTAppDocuments.hpp"
#include "ZTDocumentsManager.hpp"
#include "ZTEvents.hpp"
#include "ZTOAuth/ZTOAuthCore.hpp"
#include "ZTTokenUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "support/CaptureSupport.hpp"
#include "support/SandboxFixture.hpp"
#include "support/TemporaryFolder.hpp"

namespace newdoc {

inline constexpr const char* kUser = "user1@example.com";
inline constexpr const char* kApp = "sandbox-app";

inline std::filesystem::path cacheFolder() {
  return std::filesystem::path(
             Foundation::FileManager::defaultManager().temporaryDirectory().path()) /
         std::string(ZentrelSDK::ZTConstants::DOCKS_CACHE_FOLDER);
}

// A JPEG of noise, so it stays large: about 3 bytes a pixel.
inline Foundation::Data noisyJPEG(std::size_t width, std::size_t height, unsigned seed = 1) {
  std::mt19937 random(seed);
  UIKit::UIImage::Pixels pixels(width * height * 4);
  for (auto& byte : pixels) byte = static_cast<std::uint8_t>(random());
  auto image = UIKit::UIImage::withPixels(width, height, pixels);
  return *image->jpegData(1.0);
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
    auto tokens = ZentrelSDK::ZTTokenUtilites::shared();
    tokens->clearTokens();
    tokens->saveToken(sb().signIn(kUser), /*base64=*/false);
    tokens->saveOAuthToken(sb().grant(kUser, kApp));
    ZentrelSDK::ZTAppDocuments::shared()->setDockTypeList(
        {ZentrelSDK::ZTPublicConstants::DocumentType::Passport});
    std::filesystem::remove_all(cacheFolder());
    ui = std::make_unique<PlatformTesting::UI>();
  }
  void TearDown() override {
    // Handlers a test added on the fixture go with it, also after an early return.
    ZentrelSDK::ZTEvents::shared()->unregiterEvents(this);
    ui.reset();
    ZentrelSDK::ZTTokenUtilites::shared()->clearTokens();
    std::filesystem::remove_all(cacheFolder());
  }

  // Moves the clock in steps of 0.1 s, letting the main queue and the network answer.
  void pass(double seconds) {
    for (double t = 0; t < seconds - 1e-9; t += 0.1) {
      ui->advance(0.1);
      ui->settle();
    }
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
  // The first photo of a capture begun by `manager` opens the preview.
  void openPreview(ZentrelSDK::ZTDocumentsManager& manager, const Foundation::URL& front,
                   ZentrelSDK::ZTPublicConstants::DocumentType type =
                       ZentrelSDK::ZTPublicConstants::DocumentType::Passport) {
    manager.beginUploadingNewDocument(type);
    ZentrelSDK::ZTEvents::shared()->mediaCreatedEventEmit(photo(front));
    ui->settle();
    pass(0.3);
  }

  std::unique_ptr<PlatformTesting::UI> ui;
};

}  // namespace newdoc
