#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/Data.hpp>
#include <Foundation/FileManager.hpp>
#include <ImageIO/CGImageDestination.hpp>
#include <ImageIO/CGImageSource.hpp>
#include <ImageIO/UTType.hpp>
#include <Testing/CaptureRig.hpp>
#include <Testing/ManualClock.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTMediaPhotoCropViewController.hpp"
#include "ZTCustomCameraView/ZTPhotoProcessor.hpp"
#include "ZTEvents.hpp"
#include "support/TemporaryFolder.hpp"

namespace photostest {

using UIKit::UIImage;
using RGBA = UIImage::RGBA;

// Quadrant colours of the stored bitmap: top left, top right, bottom left, bottom right.
inline constexpr RGBA kRed{220, 30, 30, 255};
inline constexpr RGBA kGreen{30, 200, 30, 255};
inline constexpr RGBA kBlue{30, 30, 220, 255};
inline constexpr RGBA kYellow{230, 220, 30, 255};

// A JPEG whose stored bitmap is `width` × `height` in four coloured quadrants, with the EXIF
// orientation given (6: a portrait stored landscape).
inline Foundation::Data quadrantJPEG(std::size_t width, std::size_t height, int exif = 6) {
  UIImage::Pixels pixels(width * height * 4);
  for (std::size_t y = 0; y < height; ++y)
    for (std::size_t x = 0; x < width; ++x) {
      const RGBA c =
          y < height / 2 ? (x < width / 2 ? kRed : kGreen) : (x < width / 2 ? kBlue : kYellow);
      auto* p = &pixels[(y * width + x) * 4];
      p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = c.a;
    }
  auto image = UIImage::withPixels(width, height, std::move(pixels));
  auto destination = ImageIO::CGImageDestination::createWithData(ImageIO::kUTTypeJPEG, 1);
  ImageIO::ImageProperties properties;
  if (exif != 1) properties.orientation = exif;
  properties.lossyCompressionQuality = 0.95;
  destination->addImage(image->cgImage(), properties);
  (void)destination->finalize();
  return destination->data();
}

inline bool near(std::optional<RGBA> got, RGBA want) {
  if (!got) return false;
  auto close = [](int a, int b) { return std::abs(a - b) < 40; };
  return close(got->r, want.r) && close(got->g, want.g) && close(got->b, want.b);
}

// The four corner colours of a stored bitmap, 8 pixels in.
inline std::vector<std::optional<RGBA>> corners(const UIImage& image) {
  const auto w = image.pixelWidth(), h = image.pixelHeight();
  return {image.pixelAt(8, 8), image.pixelAt(w - 9, 8), image.pixelAt(8, h - 9),
          image.pixelAt(w - 9, h - 9)};
}

// A user on the document photo screens: manual clock, rig, a window, a temporary folder of
// its own, and a record of every media-created and image-picked-for-cropping event.
class DocumentPhotos : public ::testing::Test {
 protected:
  void SetUp() override {
    clock = &PlatformTesting::ManualClock::install();
    PlatformTesting::CaptureRig::reset();
    if (const char* old = std::getenv("TMPDIR")) oldTmp = old;
    ::setenv("TMPDIR", tmp.path().c_str(), 1);
    ui = std::make_unique<PlatformTesting::UI>();
    auto& events = *ZentrelSDK::ZTEvents::shared();
    events.mediaCreatedEventListen(this, [this](std::shared_ptr<ZentrelSDK::ZTCameraData> media) {
      stored.push_back(media ? media->getURL() : std::nullopt);
    });
    events.imagePickedForCroppingListen(this, [this](std::shared_ptr<UIImage>) {
      frontAtCroppingEvents.push_back(ui->frontmost());
    });
  }
  void TearDown() override {
    clock->advance(30);
    auto& events = *ZentrelSDK::ZTEvents::shared();
    events.unregiterEvents(this);
    events.unregiterEvents(ZentrelSDK::ZTPhotoProcessor::shared());
    ui.reset();
    clock->advance(30);
    if (oldTmp)
      ::setenv("TMPDIR", oldTmp->c_str(), 1);
    else
      ::unsetenv("TMPDIR");
  }

  ZentrelSDK::ZTPhotoProcessor& processor() { return *ZentrelSDK::ZTPhotoProcessor::shared(); }
  void advance(double seconds) { clock->advance(seconds); }
  // What the processor still listens for.
  std::size_t processorListeners() {
    const auto cache = ZentrelSDK::ZTEventCore::Static::instance()->cache();
    const auto it = cache.find(reinterpret_cast<std::uintptr_t>(&processor()));
    return it == cache.end() ? 0u : it->second.size();
  }
  std::string cacheFolder() const {
    return Foundation::FileManager::defaultManager().temporaryDirectory().path() + "/ZentrelDock";
  }
  // The picture of the n-th media-created event, decoded.
  std::shared_ptr<UIImage> storedImage(std::size_t n = 0) {
    if (n >= stored.size() || !stored[n]) return nullptr;
    return processor().createImageFrom(stored[n]);
  }
  // One picture was stored: the 398 × 268 share of the 400 × 300 quarters frame, turned a
  // quarter right (268 × 398, blue top left).
  void expectOneStoredCutTurnedRight() {
    ASSERT_EQ(stored.size(), 1u);
    auto picture = storedImage();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixelWidth(), 268u);
    EXPECT_EQ(picture->pixelHeight(), 398u);
    const auto c = corners(*picture);
    EXPECT_TRUE(near(c[0], kBlue));
    EXPECT_TRUE(near(c[1], kRed));
    EXPECT_TRUE(near(c[2], kYellow));
    EXPECT_TRUE(near(c[3], kGreen));
  }
  template <class C>
  std::shared_ptr<C> front() const {
    return std::dynamic_pointer_cast<C>(ui->frontmost());
  }

  // The library route up to the crop screen laid out with `image`.
  bool openCropScreenWith(const std::shared_ptr<UIImage>& image) {
    processor().openImagePicker();
    advance(1);
    if (!ui->pick(image)) return false;
    advance(1);
    return front<ZentrelSDK::ZTMediaPhotoCropViewController>() != nullptr;
  }

  PlatformTesting::ManualClock* clock = nullptr;
  zttest::TemporaryFolder tmp;
  std::optional<std::string> oldTmp;
  std::unique_ptr<PlatformTesting::UI> ui;
  std::vector<std::optional<Foundation::URL>> stored;
  std::vector<std::shared_ptr<UIKit::UIViewController>> frontAtCroppingEvents;
};

}  // namespace photostest
