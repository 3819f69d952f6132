#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <thread>

#include <Photos/PHChangeRequest.hpp>
#include <Testing/CaptureRig.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTPHPhotoLibrary.hpp"
#include "support/CaptureSupport.hpp"
#include "support/TemporaryFolder.hpp"

using namespace ZentrelSDK;
using Photos::PHAuthorizationStatus;
using PlatformTesting::CaptureRig;

namespace {

class Albums : public ::testing::Test {
 protected:
  void SetUp() override {
    CaptureRig::reset();
    CaptureRig::setLibraryPermission(PHAuthorizationStatus::authorized);
    ASSERT_TRUE(Foundation::writeData(zttest::plainJPEG(16, 16), photo.path()).isSuccess());
    ASSERT_TRUE(
        Foundation::writeData(Foundation::dataFromString("moov"), movie.path()).isSuccess());
  }
  void TearDown() override { CaptureRig::reset(); }

  using Saved = std::shared_ptr<Photos::PHAsset>;
  // Saves and waits for the one report; a second report fails the test.
  Saved save(const Foundation::URL& url, std::optional<std::string> album, bool video = false,
             ZTPHSaveDetails details = {}) {
    zttest::Recorder<Saved> reports;
    auto report = [reports](Saved asset) { reports.record(std::move(asset)); };
    if (video)
      ZTPHPhotoLibrary::saveVideoAtURL(library, url, album, report, details);
    else
      ZTPHPhotoLibrary::saveImageAtURL(library, url, album, report, details);
    EXPECT_TRUE(reports.waitFor(1));
    EXPECT_FALSE(reports.waitFor(2, 0.1));
    if (reports.count() == 0) return nullptr;
    EXPECT_FALSE(reports.calls()[0].onMain);
    return reports.calls()[0].value;
  }
  std::vector<std::string> albumAssets(const std::string& title) {
    for (const auto& album : CaptureRig::albums())
      if (album.title == title) return album.assets;
    return {};
  }

  std::shared_ptr<Photos::PHPhotoLibrary> library = Photos::PHPhotoLibrary::shared();
  zttest::TemporaryFolder folder;
  Foundation::URL photo = Foundation::URL::fileURLWithPath(folder / "photo.jpg");
  Foundation::URL movie = Foundation::URL::fileURLWithPath(folder / "movie.mp4");
};

}  // namespace

TEST_F(Albums, AnExistingAlbumIsReusedAtOnce) {
  zttest::Recorder<std::string> made;
  library->performChanges(
      [] { Photos::PHAssetCollectionChangeRequest::creationRequestForAssetCollection("Docs"); },
      [made](bool, const auto&) { made.record(""); });
  ASSERT_TRUE(made.waitFor(1));
  const auto existing = CaptureRig::albums().at(0).id;
  auto album = std::make_shared<std::shared_ptr<Photos::PHAssetCollection>>();
  ZTPHPhotoLibrary::getAlbum(library, "Docs", [album](auto found) { *album = found; });
  ASSERT_NE(*album, nullptr);  // answered before returning
  EXPECT_EQ((*album)->localIdentifier(), existing);
  const auto asset = save(photo, "Docs");
  ASSERT_NE(asset, nullptr);
  EXPECT_EQ(CaptureRig::albums().size(), 1u);
  EXPECT_EQ(albumAssets("Docs"), std::vector<std::string>{asset->localIdentifier()});
}

TEST_F(Albums, ANewAlbumIsMadeBeforeTheAssetGoesIn) {
  zttest::Recorder<std::shared_ptr<Photos::PHAssetCollection>> got;
  ZTPHPhotoLibrary::getAlbum(library, "Fresh", [got](auto album) { got.record(album); });
  ASSERT_TRUE(got.waitFor(1));
  ASSERT_NE(got.calls()[0].value, nullptr);
  EXPECT_EQ(got.calls()[0].value->localizedTitle(), "Fresh");

  const auto asset = save(photo, "Trips");
  ASSERT_NE(asset, nullptr);
  EXPECT_EQ(albumAssets("Trips"), std::vector<std::string>{asset->localIdentifier()});
  const auto clip = save(movie, "Trips", true);
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(clip->mediaType(), Photos::PHAssetMediaType::video);
  EXPECT_EQ(albumAssets("Trips").size(), 2u);
}

TEST_F(Albums, TheAssetCarriesThePassedDetailsAndGoesIntoNoAlbumWithoutAName) {
  ZTPHSaveDetails details;
  details.date = Foundation::Date::timeIntervalSince1970(1234567890);
  details.location = std::make_shared<CoreLocation::CLLocation>(1.5, -2.5);
  const auto asset = save(photo, std::nullopt, false, details);
  ASSERT_NE(asset, nullptr);
  EXPECT_EQ(asset->creationDate(), details.date);
  EXPECT_DOUBLE_EQ(asset->location()->longitude(), -2.5);
  const auto defaulted = save(photo, std::nullopt);
  ASSERT_NE(defaulted, nullptr);
  EXPECT_NEAR(defaulted->creationDate()->timeIntervalSinceNow(), 0, 60);
  EXPECT_TRUE(CaptureRig::albums().empty());  // no album name, no album
}

TEST_F(Albums, UndeterminedAccessIsAskedFirst) {
  struct Row {
    PHAuthorizationStatus answer;
    bool saved;
  };
  for (const auto& row :
       {Row{PHAuthorizationStatus::authorized, true}, Row{PHAuthorizationStatus::denied, false},
        Row{PHAuthorizationStatus::restricted, false}}) {
    CaptureRig::reset();
    CaptureRig::setLibraryPermission(PHAuthorizationStatus::notDetermined, row.answer);
    const auto asset = save(photo, "Asked");
    EXPECT_EQ(asset != nullptr, row.saved);
    EXPECT_EQ(CaptureRig::libraryPrompts(), 1);
    EXPECT_EQ(CaptureRig::albums().size(), row.saved ? 1u : 0u);
  }
  // Refused earlier: reported at once, nothing asked.
  EXPECT_EQ(save(photo, std::nullopt), nullptr);
  EXPECT_EQ(CaptureRig::libraryPrompts(), 1);
}

TEST_F(Albums, FailuresReportNoAssetExactlyOnce) {
  CaptureRig::failLibraryChanges(1);
  EXPECT_EQ(save(photo, std::nullopt), nullptr);
  EXPECT_EQ(save(Foundation::URL::fileURLWithPath(folder / "gone.jpg"), std::nullopt), nullptr);
  EXPECT_EQ(save(movie, std::nullopt), nullptr);  // a movie is not an image
  CaptureRig::MissingRequests missing;
  missing.assetPlaceholder = true;
  CaptureRig::setMissingLibraryRequests(missing);
  EXPECT_EQ(save(photo, std::nullopt, false), nullptr);
  EXPECT_EQ(save(movie, std::nullopt, true), nullptr);
  missing = {};
  missing.assetCreationRequest = true;
  CaptureRig::setMissingLibraryRequests(missing);
  EXPECT_EQ(save(photo, "Nothing"), nullptr);
}

TEST_F(Albums, WithNoAlbumToFindOrMakeTheAssetIsSavedWithoutOne) {
  CaptureRig::MissingRequests missing;
  missing.albumCreationRequest = true;
  CaptureRig::setMissingLibraryRequests(missing);
  auto asset = save(photo, "Unmakeable");
  ASSERT_NE(asset, nullptr);
  EXPECT_TRUE(CaptureRig::albums().empty());

  missing = {};
  missing.albumPlaceholder = true;
  CaptureRig::setMissingLibraryRequests(missing);
  asset = save(movie, "NoPlaceholder", true);
  ASSERT_NE(asset, nullptr);
  EXPECT_TRUE(albumAssets("NoPlaceholder").empty());

  missing = {};
  missing.albumChangeRequest = true;
  CaptureRig::setMissingLibraryRequests(missing);
  asset = save(photo, "NoPlaceholder");
  ASSERT_NE(asset, nullptr);
  EXPECT_TRUE(albumAssets("NoPlaceholder").empty());
}

TEST_F(Albums, SavesNamingOneNewAlbumAtOnceMakeOneAlbum) {
  constexpr int kSaves = 6;
  zttest::Recorder<std::shared_ptr<Photos::PHAsset>> reports;
  std::vector<std::thread> savers;
  for (int i = 0; i < kSaves; ++i) {
    savers.emplace_back([&] {
      ZTPHPhotoLibrary::saveImageAtURL(library, photo, std::string("Shared"),
                                       [reports](auto asset) { reports.record(asset); });
    });
  }
  for (auto& saver : savers) saver.join();
  ASSERT_TRUE(reports.waitFor(kSaves));
  EXPECT_FALSE(reports.waitFor(kSaves + 1, 0.1));
  for (const auto& report : reports.calls()) EXPECT_NE(report.value, nullptr);
  ASSERT_EQ(CaptureRig::albums().size(), 1u);
  EXPECT_EQ(albumAssets("Shared").size(), static_cast<std::size_t>(kSaves));
}

TEST_F(Albums, TitlesThatLookLikePathsStayLabels) {
  const std::string root = folder / "library";
  CaptureRig::setLibraryRoot(root);
  const auto asset = save(photo, std::string("../x"));
  ASSERT_NE(asset, nullptr);
  EXPECT_EQ(albumAssets("../x"), std::vector<std::string>{asset->localIdentifier()});
  EXPECT_EQ(asset->filePath().rfind(root + "/", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(folder / "x"));
}

TEST_F(Albums, AnAlbumThatCannotBeMadeIsReportedOnceAsNone) {
  CaptureRig::MissingRequests missing;
  missing.albumCreationRequest = true;
  CaptureRig::setMissingLibraryRequests(missing);
  zttest::Recorder<std::shared_ptr<Photos::PHAssetCollection>> got;
  ZTPHPhotoLibrary::getAlbum(library, "Never", [got](auto album) { got.record(album); });
  ZTPHPhotoLibrary::getAlbum(library, "Never", [got](auto album) { got.record(album); });
  ASSERT_TRUE(got.waitFor(2));
  EXPECT_FALSE(got.waitFor(3, 0.1));
  for (const auto& call : got.calls()) EXPECT_EQ(call.value, nullptr);
  // Nothing is left waiting: a later ask tries again.
  CaptureRig::setMissingLibraryRequests({});
  ZTPHPhotoLibrary::getAlbum(library, "Never", [got](auto album) { got.record(album); });
  ASSERT_TRUE(got.waitFor(3));
  EXPECT_NE(got.calls()[2].value, nullptr);
}

TEST_F(Albums, OfTwoAlbumsWithOneTitleTheOldestIsUsed) {
  zttest::Recorder<int> made;
  for (int i = 0; i < 2; ++i) {
    library->performChanges(
        [] { Photos::PHAssetCollectionChangeRequest::creationRequestForAssetCollection("Twin"); },
        [made](bool, const auto&) { made.record(0); });
    ASSERT_TRUE(made.waitFor(static_cast<std::size_t>(i + 1)));
  }
  const auto oldest = CaptureRig::albums().at(0);
  const auto asset = save(photo, "Twin");
  ASSERT_NE(asset, nullptr);
  EXPECT_EQ(CaptureRig::albums().at(0).id, oldest.id);
  EXPECT_EQ(CaptureRig::albums().at(0).assets, std::vector<std::string>{asset->localIdentifier()});
  EXPECT_TRUE(CaptureRig::albums().at(1).assets.empty());
}
