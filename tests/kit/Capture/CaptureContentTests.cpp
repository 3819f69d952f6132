#include <gtest/gtest.h>

#include <filesystem>

#include <Photos/PHChangeRequest.hpp>
#include <Photos/PHPhotoLibrary.hpp>
#include <Testing/CaptureRig.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/CaptureResult.hpp"
#include "support/CaptureSupport.hpp"
#include "support/TemporaryFolder.hpp"

using namespace ZentrelSDK;
using PlatformTesting::CaptureRig;

class Content : public ::testing::Test {
 protected:
  void SetUp() override {
    ImageIO::ImageProperties turned;
    turned.orientation = 6;
    jpeg = zttest::plainJPEG(40, 20, {30, 60, 90, 255}, turned);
    ASSERT_TRUE(Foundation::writeData(jpeg, path).isSuccess());
  }
  zttest::TemporaryFolder folder;
  std::string path = folder / "picture.jpg";
  Foundation::Data jpeg;
};

TEST_F(Content, ConversionsOfEachCase) {
  const auto image = UIKit::UIImage::withData(jpeg);
  ASSERT_NE(image, nullptr);
  const auto url = Foundation::URL::fileURLWithPath(path);

  const auto fromBytes = CaptureContent::imageData(jpeg);
  EXPECT_EQ(fromBytes.asData(), jpeg);
  ASSERT_NE(fromBytes.asImage(), nullptr);
  EXPECT_EQ(fromBytes.asImage()->imageOrientation(), UIKit::UIImage::Orientation::Right);

  const auto fromImage = CaptureContent::image(image);
  EXPECT_EQ(fromImage.asImage(), image);  // the very same object
  const auto data = fromImage.asData();
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(data, image->jpegData(0.8));
  EXPECT_NE(data, image->jpegData(1.0));
  EXPECT_NE(data, jpeg);
  EXPECT_FALSE(CaptureContent::image(UIKit::UIImage::withPixels(2, 2, std::nullopt)).asData());

  const auto fromUrl = CaptureContent::url(url);
  EXPECT_EQ(fromUrl.asData(), jpeg);
  EXPECT_NE(fromUrl.asImage(), nullptr);

  const auto notAnImage = CaptureContent::imageData(Foundation::dataFromString("text"));
  EXPECT_EQ(notAnImage.asImage(), nullptr);
  EXPECT_TRUE(notAnImage.asData().has_value());
}

TEST_F(Content, ResultImageData) {
  EXPECT_EQ(CaptureResult(Foundation::URL::fileURLWithPath(path), MediaType::photo).imageData(),
            jpeg);
  const auto missing =
      CaptureResult(Foundation::URL::fileURLWithPath(folder / "gone.jpg"), MediaType::photo);
  EXPECT_TRUE(missing.isSuccess());
  EXPECT_FALSE(missing.imageData().has_value());
  EXPECT_EQ(missing.successValue()->content.asImage(), nullptr);
  EXPECT_EQ(CaptureResult(jpeg, MediaType::photo).imageData(), jpeg);
  for (const auto& failure : {CaptureResult::failure(CaptureError::noImageData),
                              CaptureResult::failure(Foundation::NSError()),
                              CaptureResult::failure(Foundation::CocoaError{})}) {
    EXPECT_FALSE(failure.isSuccess());
    EXPECT_FALSE(failure.imageData().has_value());
    EXPECT_NE(failure.failureValue(), nullptr);
  }
}

TEST_F(Content, AnAssetsBytesComeFromTheLibrary) {
  CaptureRig::reset();
  CaptureRig::setLibraryPermission(Photos::PHAuthorizationStatus::authorized);
  zttest::Recorder<std::string> saved;
  Photos::PHPhotoLibrary::shared()->performChanges(
      [saved, path = path] {
        auto request = Photos::PHAssetChangeRequest::creationRequestForAssetFromImage(
            Foundation::URL::fileURLWithPath(path));
        saved.record(request->placeholderForCreatedAsset()->localIdentifier());
      },
      nullptr);
  ASSERT_TRUE(saved.waitFor(1));
  std::shared_ptr<Photos::PHAsset> asset;
  ASSERT_TRUE(Foundation::RunLoop::main().runUntil(
      [&] {
        asset = Photos::PHAsset::fetchAssets({saved.calls()[0].value}, std::nullopt).firstObject();
        return asset != nullptr;
      },
      10));
  const CaptureResult result(asset, MediaType::photo);
  EXPECT_EQ(result.imageData(), jpeg);
  EXPECT_NE(result.successValue()->content.asImage(), nullptr);
  EXPECT_FALSE(result.successValue()->content.asUrl().has_value());
  // The library no longer has the file: nothing, no failure.
  std::filesystem::remove(asset->filePath());
  EXPECT_FALSE(result.imageData().has_value());
  EXPECT_EQ(result.successValue()->content.asImage(), nullptr);
  CaptureRig::reset();
}
