#include <filesystem>
#include <fstream>

#include <UIKit/UIAlertController.hpp>
#include <UIKit/UIImagePickerController.hpp>

#include "DocumentPhotosSupport.hpp"
#include "support/LateCallbacks.hpp"

namespace photostest {
namespace {

using PlatformTesting::CaptureRig;

class Store : public DocumentPhotos {
 protected:
  std::vector<std::string> sheetTitles() {
    std::vector<std::string> titles;
    if (auto sheet = front<UIKit::UIAlertController>())
      for (const auto& action : sheet->actions()) titles.push_back(action->title().value_or(""));
    return titles;
  }
};

TEST_F(Store, TheSheetOffersWhatIsAvailable) {
  const struct {
    const char* name;
    bool camera, library;
    std::vector<std::string> entries;
    std::optional<std::string> alert;
  } rows[] = {
      {"both", true, true, {"Cancel", "Take photo", "Choose from library"}, std::nullopt},
      {"camera only", true, false, {"Cancel", "Take photo"}, std::nullopt},
      {"library only", false, true, {"Cancel", "Choose from library"}, std::nullopt},
      {"neither", false, false, {}, "Neither camera, nor library is available"},
  };
  for (const auto& row : rows) {
    CaptureRig::reset();
    if (!row.camera) CaptureRig::setDevices({});
    CaptureRig::setLibraryAvailable(row.library);
    auto cancels = zttest::counter();
    processor().showPhotoSourceAlert(nullptr, zttest::countUp(cancels));
    advance(1);
    if (row.alert) {
      EXPECT_EQ(ui->alertMessage(), row.alert) << row.name;
      advance(10);
      continue;
    }
    EXPECT_EQ(ui->alertTitle(), "Source") << row.name;
    EXPECT_EQ(sheetTitles(), row.entries) << row.name;
    ASSERT_TRUE(ui->chooseAction("Cancel")) << row.name;
    advance(1);
    EXPECT_EQ(*cancels, 1) << row.name;
    EXPECT_EQ(ui->frontmost(), ui->root()) << row.name;
  }
}

TEST_F(Store, ARouteWithoutItsSourceSaysSo) {
  CaptureRig::setDevices({});
  CaptureRig::setLibraryAvailable(false);
  const struct {
    void (ZentrelSDK::ZTPhotoProcessor::*open)(std::shared_ptr<UIImage>);
    const char* text;
  } rows[] = {{&ZentrelSDK::ZTPhotoProcessor::openCamera, "Camera is unavailable"},
              {&ZentrelSDK::ZTPhotoProcessor::openImagePicker, "library is unavailable"}};
  for (const auto& row : rows) {
    (processor().*row.open)(nullptr);
    advance(1);
    EXPECT_EQ(ui->alertMessage(), row.text);
    advance(10);
  }
}

TEST_F(Store, PicturesAreNeverWrittenOverAndCarryNoOrientation) {
  auto photo = UIImage::withData(quadrantJPEG(400, 300));
  processor().savePictureToTempLibraryAndShowMediaPreview(photo);
  processor().savePictureToTempLibraryAndShowMediaPreview(photo);
  advance(1);
  ASSERT_EQ(stored.size(), 2u);
  ASSERT_TRUE(stored[0] && stored[1]);
  const std::string first = stored[0]->path(), second = stored[1]->path();
  EXPECT_EQ(std::filesystem::path(first).parent_path(), cacheFolder());
  EXPECT_EQ(second.substr(0, second.size() - 6) + ".jpg", first) << second;
  EXPECT_EQ(second.substr(second.size() - 6), "-1.jpg");
  // The stored pixels as they were, without the photo's EXIF orientation.
  auto bytes = Foundation::dataContentsOf(first);
  ASSERT_TRUE(bytes.isSuccess());
  auto properties = ImageIO::CGImageSource::createWithData(bytes.value())->copyProperties(0);
  ASSERT_TRUE(properties.isSuccess());
  EXPECT_EQ(properties.value().orientation, std::nullopt);
  EXPECT_EQ(properties.value().pixelWidth, 400u);
}

TEST_F(Store, AFailedStoreShowsItsErrorAndAnnouncesNothing) {
  struct Row {
    const char* name;
    std::shared_ptr<UIImage> image;
    bool folderIsAFile;
  };
  const Row rows[] = {
      {"a file in place of the folder", UIImage::withData(quadrantJPEG(40, 30)), true},
      {"an image without pixels", UIImage::withPixels(40, 30, std::nullopt), false},
  };
  for (const auto& row : rows) {
    std::filesystem::remove_all(cacheFolder());
    if (row.folderIsAFile) std::ofstream(cacheFolder()) << "not a folder";
    processor().savePictureToTempLibraryAndShowMediaPreview(row.image);
    advance(1);
    EXPECT_EQ(ui->alertTitle(), "Error") << row.name;
    EXPECT_FALSE(ui->alertMessage().value_or("").empty()) << row.name;
    EXPECT_TRUE(stored.empty()) << row.name;
    advance(10);
  }
}

TEST_F(Store, OnlyReadableImagesComeBack) {
  const auto good = quadrantJPEG(40, 30);
  auto garbled = good;
  for (std::size_t i = garbled.size() / 2; i + 2 < garbled.size(); ++i) garbled[i] = 0xFF;
  auto huge = quadrantJPEG(16, 16, 1);
  // The frame header claims 8000 × 8000 (64 MP).
  for (std::size_t i = 0; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = 0x1F, huge[i + 6] = 0x40, huge[i + 7] = 0x1F, huge[i + 8] = 0x40;
      break;
    }
  const struct {
    const char* name;
    std::optional<Foundation::Data> bytes;  // none: no file
    bool image;
  } rows[] = {
      {"a JPEG", good, true},
      {"a missing file", std::nullopt, false},
      {"text", Foundation::dataFromString("no picture here"), false},
      {"a truncated JPEG", Foundation::Data(good.begin(), good.begin() + good.size() / 2), false},
      {"a garbled JPEG", garbled, false},
      {"a header past the pixel limit", huge, false},
  };
  EXPECT_EQ(processor().createImageFrom(std::nullopt), nullptr);
  for (const auto& row : rows) {
    const auto path = tmp / "picture";
    std::filesystem::remove(path);
    if (row.bytes) {
      ASSERT_TRUE(Foundation::writeData(*row.bytes, path).isSuccess());
    }
    const auto image = processor().createImageFrom(Foundation::URL::fileURLWithPath(path));
    EXPECT_EQ(image != nullptr, row.image) << row.name;
  }
}

}  // namespace
}  // namespace photostest
