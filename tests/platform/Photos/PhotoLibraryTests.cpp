#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>

#include <Photos/PHChangeRequest.hpp>
#include <Photos/PHImageManager.hpp>
#include <Photos/PHObject.hpp>
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
    clock = &PlatformTesting::ManualClock::install();
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
    PHPhotoLibrary::shared()->performChanges(std::move(block), [&](bool ok, const auto& error) {
      done.record(Change{ok, error});
    });
    EXPECT_TRUE(done.waitFor(1));
    EXPECT_FALSE(done.waitFor(2, 0.05));
    return done.calls().empty() ? Change{} : done.calls()[0].value;
  }

  std::optional<PHFetchOptions> titled(const std::string& title) {
    return PHFetchOptions{NSPredicate::withFormat("title = %@", title)};
  }

  PlatformTesting::ManualClock* clock = nullptr;
  zttest::TemporaryFolder folder;
  std::string photo = folder / "photo.jpg";
  std::string movie = folder / "movie.mp4";
};

}  // namespace

TEST_F(Library, ChangeBlocksRunOnTheLibraryQueueAndCompleteOnAnother) {
  zttest::Recorder<int> inBlock;
  zttest::Recorder<Change> done;
  const auto caller = std::this_thread::get_id();
  std::thread::id blockThread;
  PHPhotoLibrary::shared()->performChanges(
      [&] {
        blockThread = std::this_thread::get_id();
        inBlock.record(0);
      },
      [&](bool ok, const auto& error) {
        done.record(Change{ok, error});
      });
  ASSERT_TRUE(done.waitFor(1));
  ASSERT_EQ(inBlock.count(), 1u);
  EXPECT_NE(blockThread, caller);
  EXPECT_EQ(inBlock.calls()[0].queue, "com.apple.photos.changes");
  EXPECT_NE(done.calls()[0].queue, "com.apple.photos.changes");
  EXPECT_FALSE(done.calls()[0].onMain);
  EXPECT_TRUE(done.calls()[0].value.success);
}

TEST_F(Library, RequestsMoveTheAuthorisation) {
  struct Row {
    PHAuthorizationStatus answer;
    double delay;
  };
  for (const auto& row :
       {Row{PHAuthorizationStatus::authorized, 0}, Row{PHAuthorizationStatus::denied, 2},
        Row{PHAuthorizationStatus::limited, 0}}) {
    CaptureRig::reset();
    CaptureRig::setLibraryPermission(PHAuthorizationStatus::notDetermined, row.answer, row.delay);
    zttest::Recorder<PHAuthorizationStatus> answers;
    PHPhotoLibrary::requestAuthorization([&](auto status) { answers.record(status); });
    if (row.delay > 0) {
      EXPECT_FALSE(answers.waitFor(1, 0.1));
      EXPECT_EQ(PHPhotoLibrary::authorizationStatus(), PHAuthorizationStatus::notDetermined);
      clock->advance(row.delay);
    }
    ASSERT_TRUE(answers.waitFor(1));
    EXPECT_EQ(answers.calls()[0].value, row.answer);
    EXPECT_FALSE(answers.calls()[0].onMain);
    EXPECT_EQ(PHPhotoLibrary::authorizationStatus(), row.answer);
    PHPhotoLibrary::requestAuthorization([&](auto status) { answers.record(status); });
    ASSERT_TRUE(answers.waitFor(2));
    EXPECT_EQ(CaptureRig::libraryPrompts(), 1);
  }
  CaptureRig::setLibraryPermission(PHAuthorizationStatus::denied);
  bool ran = false;
  const auto refused = change([&] { ran = true; });
  EXPECT_FALSE(refused.success);
  EXPECT_EQ(refused.error->code, PHPhotosErrorAccessUserDenied);
  EXPECT_FALSE(ran);
}

TEST_F(Library, CreatesAlbumsAndAssetsFoundByTitleAndIdentifier) {
  std::shared_ptr<PHObjectPlaceholder> albumPlaceholder, assetPlaceholder, moviePlaceholder;
  const auto date = Foundation::Date::timeIntervalSince1970(1700000000);
  const auto result = change([&] {
    auto album = PHAssetCollectionChangeRequest::creationRequestForAssetCollection("Trips");
    auto asset = PHAssetChangeRequest::creationRequestForAssetFromImage(
        Foundation::URL::fileURLWithPath(photo));
    auto clip = PHAssetChangeRequest::creationRequestForAssetFromVideo(
        Foundation::URL::fileURLWithPath(movie));
    asset->setCreationDate(date);
    asset->setLocation(std::make_shared<CoreLocation::CLLocation>(48.2, 16.4));
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
  EXPECT_EQ(byTitle.firstObject()->localizedTitle(), "Trips");
  EXPECT_EQ(PHAssetCollection::fetchAssetCollections(PHAssetCollectionType::album,
                                                     PHAssetCollectionSubtype::any, titled("trips"))
                .count(),
            0u);
  auto inAlbum = PHAsset::fetchAssets(*byTitle.firstObject(), std::nullopt);
  ASSERT_EQ(inAlbum.count(), 1u);
  auto asset = inAlbum.firstObject();
  EXPECT_EQ(asset->localIdentifier(), assetPlaceholder->localIdentifier());
  EXPECT_EQ(asset->mediaType(), PHAssetMediaType::image);
  EXPECT_EQ(asset->creationDate(), date);
  EXPECT_DOUBLE_EQ(asset->location()->latitude(), 48.2);
  auto clip = PHAsset::fetchAssets({moviePlaceholder->localIdentifier()}, std::nullopt);
  ASSERT_EQ(clip.count(), 1u);
  EXPECT_EQ(clip.firstObject()->mediaType(), PHAssetMediaType::video);

  const std::vector<std::string> unknown = {"", "../Albums",
                                            albumPlaceholder->localIdentifier() + "x",
                                            "00000000-0000-0000-0000-000000000000/L0/001"};
  EXPECT_EQ(PHAsset::fetchAssets(unknown, std::nullopt).count(), 0u);
  EXPECT_EQ(PHAssetCollection::fetchAssetCollections(unknown, std::nullopt).count(), 0u);
}

TEST_F(Library, ATitleIsOnlyMetadata) {
  const std::string root = folder / "library";
  CaptureRig::setLibraryRoot(root);
  for (const std::string title : {"../x", "/etc/passwd", "a/b", "..", "../../photo.jpg"}) {
    ASSERT_TRUE(change([&] {
                  PHAssetCollectionChangeRequest::creationRequestForAssetCollection(title);
                }).success);
    auto found = PHAssetCollection::fetchAssetCollections(
        PHAssetCollectionType::album, PHAssetCollectionSubtype::any, titled(title));
    ASSERT_EQ(found.count(), 1u) << title;
    EXPECT_EQ(found.firstObject()->localizedTitle(), title);
  }
  std::set<std::string> beside;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    beside.insert(entry.path().filename().string());
  EXPECT_EQ(beside, (std::set<std::string>{"library", "movie.mp4", "photo.jpg"}));
  EXPECT_EQ(Foundation::dataContentsOf(photo).value().size() > 0, true);
  EXPECT_EQ(CaptureRig::albums().size(), 5u);
}

TEST_F(Library, FailedChangesAndBadFilesChangeNothing) {
  CaptureRig::failLibraryChanges(1);
  auto make = [&](const std::string& path) {
    return change([&] {
      PHAssetCollectionChangeRequest::creationRequestForAssetCollection("Kept");
      PHAssetChangeRequest::creationRequestForAssetFromImage(
          Foundation::URL::fileURLWithPath(path));
    });
  };
  EXPECT_FALSE(make(photo).success);
  EXPECT_FALSE(make(movie).success);  // not an image
  EXPECT_FALSE(make(folder / "gone.jpg").success);
  EXPECT_TRUE(CaptureRig::albums().empty());
  EXPECT_TRUE(make(photo).success);
  EXPECT_EQ(CaptureRig::albums().size(), 1u);
}

TEST_F(Library, RequestsAndPlaceholdersCanBeMissing) {
  // Outside a change block there are no requests.
  EXPECT_EQ(PHAssetCollectionChangeRequest::creationRequestForAssetCollection("x"), nullptr);
  EXPECT_EQ(PHAssetChangeRequest::creationRequestForAssetFromImage(
                Foundation::URL::fileURLWithPath(photo)),
            nullptr);
  CaptureRig::MissingRequests missing;
  missing.assetPlaceholder = missing.albumPlaceholder = true;
  CaptureRig::setMissingLibraryRequests(missing);
  bool requestsGiven = false, placeholdersGiven = true;
  change([&] {
    auto album = PHAssetCollectionChangeRequest::creationRequestForAssetCollection("x");
    auto asset = PHAssetChangeRequest::creationRequestForAssetFromImage(
        Foundation::URL::fileURLWithPath(photo));
    requestsGiven = album && asset;
    placeholdersGiven =
        album->placeholderForCreatedAssetCollection() || asset->placeholderForCreatedAsset();
  });
  EXPECT_TRUE(requestsGiven);
  EXPECT_FALSE(placeholdersGiven);
  missing = {};
  missing.assetCreationRequest = missing.albumCreationRequest = missing.albumChangeRequest = true;
  CaptureRig::setMissingLibraryRequests(missing);
  const auto album = CaptureRig::albums().front();
  change([&] {
    requestsGiven =
        PHAssetCollectionChangeRequest::creationRequestForAssetCollection("y") ||
        PHAssetChangeRequest::creationRequestForAssetFromImage(
            Foundation::URL::fileURLWithPath(photo)) ||
        PHAssetCollectionChangeRequest::forCollection(PHAssetCollection(album.id, album.title, 0));
  });
  EXPECT_FALSE(requestsGiven);
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

  zttest::Recorder<bool> later;
  PHImageManager::defaultManager()->requestImageData(
      *asset, std::nullopt, [&](auto d, auto, auto, const auto&) { later.record(d.has_value()); });
  ASSERT_TRUE(later.waitFor(1));
  EXPECT_TRUE(later.calls()[0].value);
  EXPECT_FALSE(later.calls()[0].onMain);
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
