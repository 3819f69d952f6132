// Both managers from the host's begin to the end of a run, as the user goes: the source
// sheet, a camera or library photo for each side, a retake by tap, submit, the ring and
// what follows it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NewDocumentSupport.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaLoading/ZTMediaLoadingViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/ZTMediaStatus/ZTMediaSuccess/ZTMediaSuccessViewController.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDockProgressViewController.hpp"

namespace {

using namespace ZentrelSDK;
using newdoc::NewDocumentRunTest;
using Preview = ZTNewDocumentPreviewViewController;
using Ring = ZTUploadDockProgressViewController;
using Status = ZTPublicConstants::DocumentStatusType;
using Type = ZTPublicConstants::DocumentType;

struct RoadRow {
  const char* name;
  bool internal;       // the documents list's own manager
  bool frontByCamera;  // else from the library; the back comes by the other route
};

class Road : public NewDocumentRunTest, public ::testing::WithParamInterface<RoadRow> {
 protected:
  ZTDocumentsManager& manager() const {
    if (GetParam().internal) return *ZTPrivateDocumentsManager::shared();
    return *ZTDocumentsManager::shared();
  }
  bool photo(bool byCamera, double width) {
    return byCamera ? takePhoto() : chooseFromLibrary(newdoc::plain(width, 48));
  }
  // The picture the view shows is the stored one's.
  bool shows(const std::shared_ptr<UIKit::UIImageView>& view, const Foundation::URL& file) {
    auto want = ZTPhotoProcessor::shared()->createImageFrom(file);
    auto got = view->image();
    return want && got && got->pixelWidth() == want->pixelWidth() &&
           got->pixelHeight() == want->pixelHeight();
  }
  static std::string stage(const std::shared_ptr<Ring>& ring) {
    return ring->uploadingLabel.lock()->text().value_or("");
  }
};

TEST_P(Road, FromTheSheetToTheEndOfTheRun) {
  const auto& row = GetParam();
  manager().beginUploadingNewDocument(Type::Passport);
  pass(0.5);
  ASSERT_EQ(ui->alertTitle(), "Source");
  ASSERT_TRUE(photo(row.frontByCamera, 64)) << ui->alertMessage().value_or("-");
  pass(0.3);
  auto preview = frontmost<Preview>();
  ASSERT_TRUE(preview);
  EXPECT_EQ(preview->documentTypeLabel.lock()->text(), "Passport");
  EXPECT_TRUE(shows(preview->frontsideImage.lock(), stored.at(0)));

  ASSERT_TRUE(ui->tap(preview->addBacksideButton.lock()));
  pass(0.5);
  ASSERT_EQ(ui->alertTitle(), "Source");
  ASSERT_TRUE(photo(!row.frontByCamera, 60)) << ui->alertMessage().value_or("-");
  pass(0.3);
  ASSERT_EQ(frontmost<Preview>(), preview);
  EXPECT_FALSE(preview->backsideImage.lock()->isHidden());
  EXPECT_TRUE(shows(preview->backsideImage.lock(), stored.at(1)));

  ASSERT_TRUE(retake(preview->frontsideImage.lock(), newdoc::plain(50, 40)));
  pass(0.3);
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_TRUE(shows(preview->frontsideImage.lock(), stored[2]));

  ASSERT_TRUE(ui->tap(preview->submitButton.lock()));
  pass(0.3);
  auto ring = frontmost<Ring>();
  ASSERT_TRUE(ring);
  ASSERT_TRUE(ui->runUntil([&] { return stage(ring) == "Recognition"; }, 30))
      << stage(ring) << " " << ui->alertMessage().value_or("-");
  for (std::size_t poll = 1; poll <= 3; ++poll) {
    pass(1.0);
    ASSERT_TRUE(ui->runUntil([&] { return answered("documents.get", poll); })) << poll;
  }
  ASSERT_TRUE(ui->runUntil([&] { return stage(ring) == "Upload complete"; }));
  pass(1.0);
  pass(0.6);

  // The sandbox holds the retaken front and the back, byte for byte.
  ASSERT_EQ(sb().count("documents.create"), 1u);
  const auto path = sb().requests("documents.upload.front").at(0).path;
  const auto document = sb().document(path.substr(path.rfind("/documents/") + 11, 36));
  ASSERT_TRUE(document);
  EXPECT_EQ(document->front, newdoc::contents(stored[2]));
  EXPECT_EQ(document->back, newdoc::contents(stored[1]));
  EXPECT_NE(document->front, newdoc::contents(stored[0]));

  if (row.internal) {
    ASSERT_TRUE(ui->runUntil([&] { return modifications == 1; }));
    EXPECT_FALSE(frontmost<Preview>()) << "the preview closed";
    EXPECT_EQ(ui->frontmost(), ui->root());
    return;
  }
  auto loading = frontmost<ZTMediaLoadingViewController>();
  ASSERT_TRUE(loading);
  EXPECT_EQ(loading->presentingViewController(), preview);
  pass(29.0);
  EXPECT_EQ(sb().count("api.documents"), 0u);
  pass(1.0);
  ASSERT_TRUE(ui->runUntil([&] { return answered("api.documents", 1); }));
  ASSERT_TRUE(ui->runUntil([&] { return loading->presentedViewController() != nullptr; }));
  pass(0.3);
  auto success =
      std::dynamic_pointer_cast<ZTMediaSuccessViewController>(loading->presentedViewController());
  ASSERT_TRUE(success) << "the new passport is verified";
  ASSERT_TRUE(follow([&] { return success->continueButton.lock()->isEnabled(); }));
  pass(0.3);
  ASSERT_TRUE(ui->tap(success->continueButton.lock()));
  ui->settle();
  ASSERT_EQ(successes.size(), 1u);
  ASSERT_EQ(successes[0].size(), 1u);
  EXPECT_EQ(successes[0][0].documentType, Type::Passport);
  EXPECT_EQ(successes[0][0].status, Status::Verified);
  EXPECT_EQ(modifications, 0);
}

INSTANTIATE_TEST_SUITE_P(NewDocument, Road,
                         ::testing::Values(RoadRow{"PublicCameraFront", false, true},
                                           RoadRow{"InternalLibraryFront", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
