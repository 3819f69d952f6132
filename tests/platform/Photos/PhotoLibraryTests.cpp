#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include <Photos/PHChangeRequest.hpp>
#include <Photos/PHImageManager.hpp>
#include <Photos/PHPhotoLibrary.hpp>
#include <Testing/CaptureRig.hpp>
#include <Testing/ManualClock.hpp>

#include "support/CaptureSupport.hpp"
#include "support/TemporaryFolder.hpp"

using namespace Photos;
using PlatformTesting::CaptureRig;

namespace {

struct Change {
  bool success = false;
  std::optional<Foundation::NSError> error;
};

class Library : public ::testing::Test {
 protected:
  void SetUp() override {
    PlatformTesting::ManualClock::install();
    CaptureRig::reset();
    CaptureRig::setLibraryPermission(PHAuthorizationStatus::authorized);
    ImageIO::ImageProperties turned;
    turned.orientation = 8;
    ASSERT_TRUE(Foundation::writeData(zttest::plainJPEG(32, 16, {1, 2, 3, 255}, turned), photo)
                    .isSuccess());
    ASSERT_TRUE(Foundation::writeData(Foundation::dataFromString("moov"), movie).isSuccess());
  }
  void TearDown() override { CaptureRig::reset(); }

  // Runs `block` as one change and waits for its completion.
  Change change(std::function<void()> block) {
    zttest::Recorder<Change> done;
    PHPhotoLibrary::shared()->performChanges(std::move(block), [done](bool ok, const auto& error) {
      done.record(Change{ok, error});
    });
    EXPECT_TRUE(done.waitFor(1));
    EXPECT_FALSE(done.waitFor(2, 0.05));
    return done.calls().empty() ? Change{} : done.calls()[0].value;
  }

  std::optional<PHFetchOptions> titled(const std::string& title) {
    return PHFetchOptions{NSPredicate::withFormat("title = %@", title)};
  }

  zttest::TemporaryFolder folder;
  std::string photo = folder / "photo.jpg";
  std::string movie = folder / "movie.mp4";
};

}  // namespace

TEST_F(Library, CreatesAlbumsAndAssetsFoundByTitleAndIdentifier) {
  std::shared_ptr<PHObjectPlaceholder> albumPlaceholder, assetPlaceholder, moviePlaceholder;
  const auto result = change([&] {
    auto album = PHAssetCollectionChangeRequest::creationRequestForAssetCollection("Trips");
    auto asset = PHAssetChangeRequest::creationRequestForAssetFromImage(
        Foundation::URL::fileURLWithPath(photo));
    auto clip = PHAssetChangeRequest::creationRequestForAssetFromVideo(
        Foundation::URL::fileURLWithPath(movie));
    albumPlaceholder = album->placeholderForCreatedAssetCollection();
    assetPlaceholder = asset->placeholderForCreatedAsset();
    moviePlaceholder = clip->placeholderForCreatedAsset();
    album->addAssets({assetPlaceholder});
  });
  ASSERT_TRUE(result.success);
  auto byTitle = PHAssetCollection::fetchAssetCollections(
      PHAssetCollectionType::album, PHAssetCollectionSubtype::any, titled("Trips"));
  ASSERT_EQ(byTitle.count(), 1u);
  EXPECT_EQ(byTitle.firstObject()->localIdentifier(), albumPlaceholder->localIdentifier());
  EXPECT_EQ(PHAssetCollection::fetchAssetCollections(PHAssetCollectionType::album,
                                                     PHAssetCollectionSubtype::any, titled("trips"))
                .count(),
            0u);
  auto inAlbum = PHAsset::fetchAssets(*byTitle.firstObject(), std::nullopt);
  ASSERT_EQ(inAlbum.count(), 1u);
  auto asset = inAlbum.firstObject();
  EXPECT_EQ(asset->localIdentifier(), assetPlaceholder->localIdentifier());
  auto clip = PHAsset::fetchAssets({moviePlaceholder->localIdentifier()}, std::nullopt);
  ASSERT_EQ(clip.count(), 1u);
  EXPECT_EQ(clip.firstObject()->mediaType(), PHAssetMediaType::video);

  const std::vector<std::string> unknown = {"", "../Albums",
                                            albumPlaceholder->localIdentifier() + "x",
                                            "00000000-0000-0000-0000-000000000000/L0/001"};
  EXPECT_EQ(PHAsset::fetchAssets(unknown, std::nullopt).count(), 0u);
  EXPECT_EQ(PHAssetCollection::fetchAssetCollections(unknown, std::nullopt).count(), 0u);
}

TEST_F(Library, ChangesNeedWriteAccessAndLimitedAccessIsEnough) {
  struct Row {
    PHAuthorizationStatus status;
    bool applied;
  };
  const Row rows[] = {
      {PHAuthorizationStatus::authorized, true},     {PHAuthorizationStatus::limited, true},
      {PHAuthorizationStatus::denied, false},        {PHAuthorizationStatus::restricted, false},
      {PHAuthorizationStatus::notDetermined, false},
  };
  for (const auto& row : rows) {
    const auto status = static_cast<int>(row.status);
    CaptureRig::setLibraryPermission(row.status);
    const std::string title = "Album " + std::to_string(status);
    const auto result =
        change([&] { PHAssetCollectionChangeRequest::creationRequestForAssetCollection(title); });
    EXPECT_EQ(result.success, row.applied) << status;
    EXPECT_EQ(result.error.has_value(), !row.applied) << status;
    if (result.error) {
      EXPECT_EQ(result.error->code, PHPhotosErrorAccessUserDenied) << status;
    }
    CaptureRig::setLibraryPermission(PHAuthorizationStatus::authorized);
    EXPECT_EQ(PHAssetCollection::fetchAssetCollections(PHAssetCollectionType::album,
                                                       PHAssetCollectionSubtype::any, titled(title))
                  .count(),
              row.applied ? 1u : 0u)
        << status;
  }
}

TEST_F(Library, ImageDataIsSynchronousAndNeverNeedsMain) {
  std::shared_ptr<PHObjectPlaceholder> image, clip;
  change([&] {
    image = PHAssetChangeRequest::creationRequestForAssetFromImage(
                Foundation::URL::fileURLWithPath(photo))
                ->placeholderForCreatedAsset();
    clip = PHAssetChangeRequest::creationRequestForAssetFromVideo(
               Foundation::URL::fileURLWithPath(movie))
               ->placeholderForCreatedAsset();
  });
  auto asset = PHAsset::fetchAssets({image->localIdentifier()}, std::nullopt).firstObject();
  auto video = PHAsset::fetchAssets({clip->localIdentifier()}, std::nullopt).firstObject();
  ASSERT_TRUE(asset && video);
  PHImageRequestOptions options;
  options.version = PHImageRequestOptions::Version::original;
  options.isSynchronous = true;
  std::optional<Foundation::Data> data;
  std::optional<std::string> uti;
  UIKit::UIImage::Orientation orientation{};
  bool videoAnswered = false, videoHadData = true;
  // From a plain thread while the main thread only waits.
  std::thread worker([&] {
    PHImageManager::defaultManager()->requestImageData(*asset, options,
                                                       [&](auto d, auto u, auto o, const auto&) {
                                                         data = std::move(d);
                                                         uti = u;
                                                         orientation = o;
                                                       });
    PHImageManager::defaultManager()->requestImageData(
        *video, options, [&](auto d, auto, auto, const auto& info) {
          videoAnswered = true;
          videoHadData = d.has_value() || !info.count(PHImageErrorKey);
        });
  });
  worker.join();
  EXPECT_EQ(data, Foundation::dataContentsOf(photo).value());
  EXPECT_EQ(uti, std::string(ImageIO::kUTTypeJPEG));
  EXPECT_EQ(orientation, UIKit::UIImage::Orientation::Left);
  EXPECT_TRUE(videoAnswered);
  EXPECT_FALSE(videoHadData);
}

TEST_F(Library, DamagedRecordsAreNoRecords) {
  std::shared_ptr<PHObjectPlaceholder> album, asset;
  ASSERT_TRUE(change([&] {
                auto request =
                    PHAssetCollectionChangeRequest::creationRequestForAssetCollection("A");
                album = request->placeholderForCreatedAssetCollection();
                asset = PHAssetChangeRequest::creationRequestForAssetFromImage(
                            Foundation::URL::fileURLWithPath(photo))
                            ->placeholderForCreatedAsset();
              }).success);
  const std::string root = CaptureRig::libraryRoot();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.path().extension() != ".json") continue;
    const bool isAlbum = entry.path().parent_path().filename() == "Albums";
    const std::string text = isAlbum ? R"({"title": 7, "assets": "none"})" : "{not json";
    ASSERT_TRUE(
        Foundation::writeData(Foundation::dataFromString(text), entry.path().string()).isSuccess());
  }
  EXPECT_EQ(PHAsset::fetchAssets({asset->localIdentifier()}, std::nullopt).count(), 0u);
  EXPECT_EQ(
      PHAssetCollection::fetchAssetCollections({album->localIdentifier()}, std::nullopt).count(),
      0u);
  EXPECT_EQ(PHAssetCollection::fetchAssetCollections(PHAssetCollectionType::album,
                                                     PHAssetCollectionSubtype::any, std::nullopt)
                .count(),
            0u);
  EXPECT_EQ(PHAssetCollection::fetchAssetCollections(PHAssetCollectionType::smartAlbum,
                                                     PHAssetCollectionSubtype::any, std::nullopt)
                .count(),
            0u);
  EXPECT_FALSE(NSPredicate::withFormat("title CONTAINS %@", "A").has_value());
}
