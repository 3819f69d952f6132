// The new-document preview as the user sees and handles it.

#include <gtest/gtest.h>

#include <string>

#include <Foundation/RunLoop.hpp>

#include "NewDocumentSupport.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTDocumentPreviewViewModel.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"
#include "ZTDocuments/ZTUploadDocumentProgressBar/ZTUploadDockProgressViewController.hpp"

namespace {

using namespace ZentrelSDK;
using newdoc::NewDocumentTest;
using Preview = ZTNewDocumentPreviewViewController;
using Status = ZTPublicConstants::DocumentStatusType;
using Type = ZTPublicConstants::DocumentType;

class PreviewScreen : public NewDocumentTest {
 protected:
  std::shared_ptr<Preview> open(Type type = Type::Passport) {
    openPreview(*ZTDocumentsManager::shared(), newdoc::plain(64, 48), type);
    return frontmost<Preview>();
  }
  // A photo of another flow.
  void emitPhoto(const std::string& name, std::size_t width) {
    ZTEvents::shared()->mediaCreatedEventEmit(
        newdoc::photo(newdoc::cachePhoto(name, zttest::plainJPEG(width, 40))));
    ui->settle();
  }
  static double width(const std::shared_ptr<UIKit::UIImageView>& view) {
    return view->image() ? view->image()->size().width : 0;
  }
};

struct TitleRow {
  Type type;
  const char* title;
};

class Titles : public PreviewScreen, public ::testing::WithParamInterface<TitleRow> {};

TEST_P(Titles, ShowTheTypeAndTheFrontPhotoWithTheStatusHidden) {
  auto preview = open(GetParam().type);
  ASSERT_TRUE(preview);
  EXPECT_EQ(preview->documentTypeLabel.lock()->text(), GetParam().title);
  EXPECT_TRUE(preview->docStatusLabel.lock()->isHidden()) << "a draft shows no status";
  EXPECT_EQ(width(preview->frontsideImage.lock()), 64);
  EXPECT_TRUE(preview->backsideImage.lock()->isHidden());
  EXPECT_FALSE(preview->addBacksideButton.lock()->isHidden());
}

INSTANTIATE_TEST_SUITE_P(NewDocument, Titles,
                         ::testing::Values(TitleRow{Type::Passport, "Passport"},
                                           TitleRow{Type::DriverLicense, "Driver License"},
                                           TitleRow{Type::ProofOfAddress, "Proof of Address"},
                                           TitleRow{Type::IdCard, "Id Card"}));

struct ColourRow {
  Status status;
  const char* text;
  bool hidden;
  UIKit::UIColor colour;
};

class StatusColours : public PreviewScreen, public ::testing::WithParamInterface<ColourRow> {};

TEST_P(StatusColours, FollowTheStatus) {
  const auto& row = GetParam();
  auto viewModel = std::make_shared<ZTDocumentPreviewViewModel>(
      UIKit::UIImage::withSize({10, 10}), Foundation::URL::fileURLWithPath("/tmp/x.jpg"),
      Type::Passport);
  auto preview = std::make_shared<Preview>(viewModel);
  preview->loadViewIfNeeded();
  auto label = preview->docStatusLabel.lock();
  label->setTextColor(UIKit::UIColor::black());
  viewModel->setDocumentStatus(row.status);
  preview->documentStatusDidUpdate();
  EXPECT_EQ(label->text(), row.text);
  EXPECT_EQ(label->isHidden(), row.hidden);
  EXPECT_EQ(label->textColor(), row.colour);
}

INSTANTIATE_TEST_SUITE_P(
    NewDocument, StatusColours,
    ::testing::Values(ColourRow{Status::Draft, "Draft", true, UIKit::UIColor::black()},
                      ColourRow{Status::Recognition, "Recognizing", false, {0.99, 0.48, 0.12, 1}},
                      ColourRow{Status::NotReadable, "Not readable", false, {0.85, 0.11, 0.16, 1}},
                      ColourRow{Status::NotVerified, "Not verified", false, {0.85, 0.11, 0.16, 1}},
                      ColourRow{Status::Verified, "Verified", false, {0.14, 0.63, 0.28, 1}},
                      ColourRow{
                          Status::PendingReview, "Pending review", false, {0.99, 0.48, 0.12, 1}}));

TEST_F(PreviewScreen, ATapOnAPhotoRetakesThatSideThroughTheSourceSheet) {
  auto preview = open();
  ASSERT_TRUE(retake(preview->addBacksideButton.lock(), newdoc::plain(30, 20)));
  EXPECT_EQ(width(preview->backsideImage.lock()), 30);
  EXPECT_TRUE(preview->addBacksideButton.lock()->isHidden());

  ASSERT_TRUE(retake(preview->frontsideImage.lock(), newdoc::plain(50, 40)));
  EXPECT_EQ(width(preview->frontsideImage.lock()), 50);
  EXPECT_EQ(width(preview->backsideImage.lock()), 30);

  ASSERT_TRUE(retake(preview->backsideImage.lock(), newdoc::plain(20, 16)));
  EXPECT_EQ(width(preview->backsideImage.lock()), 20);
  EXPECT_EQ(width(preview->frontsideImage.lock()), 50);
  EXPECT_EQ(frontmost<Preview>(), preview);
}

TEST_F(PreviewScreen, TheSheetsCancelEndsTheRetake) {
  auto preview = open();
  for (const auto& view :
       {std::static_pointer_cast<UIKit::UIView>(preview->frontsideImage.lock()),
        std::static_pointer_cast<UIKit::UIView>(preview->addBacksideButton.lock())}) {
    ASSERT_TRUE(ui->tap(view));
    pass(0.5);
    ASSERT_EQ(ui->alertTitle(), "Source");
    ASSERT_TRUE(ui->chooseAction("Cancel"));
    pass(0.5);
    EXPECT_EQ(frontmost<Preview>(), preview);
    emitPhoto("2.jpg", 30);
    EXPECT_EQ(width(preview->frontsideImage.lock()), 64);
    EXPECT_TRUE(preview->backsideImage.lock()->isHidden());
  }
}

TEST_F(PreviewScreen, AVideoOrAnEmptyEventChangesNothingAndEndsTheListening) {
  auto preview = open();
  ASSERT_TRUE(ui->tap(preview->frontsideImage.lock()));
  pass(0.5);
  ZTEvents::shared()->mediaCreatedEventEmit(std::make_shared<ZTCameraData>(
      newdoc::cachePhoto("v.jpg", zttest::plainJPEG(20, 20)), MediaType::video));
  ui->settle();
  ASSERT_TRUE(chooseFromLibrary(newdoc::plain(33, 20)));
  EXPECT_EQ(width(preview->frontsideImage.lock()), 64);
}

TEST_F(PreviewScreen, ALockedPreviewTakesNoRetakesAndNoSubmit) {
  auto preview = open();
  preview->lockDocumentChanging();
  EXPECT_TRUE(preview->addBacksideButton.lock()->isHidden());
  EXPECT_FALSE(preview->submitButton.lock()->isEnabled());
  EXPECT_EQ(preview->submitButton.lock()->backgroundColor(),
            UIKit::UIColor(0.8321705, 0.85107887, 0.8855825, 1.0));
  ui->tap(preview->frontsideImage.lock());
  pass(0.5);
  EXPECT_EQ(frontmost<Preview>(), preview) << "no source sheet";
  emitPhoto("2.jpg", 30);
  EXPECT_EQ(width(preview->frontsideImage.lock()), 64);
  ui->tap(preview->submitButton.lock());
  pass(0.3);
  EXPECT_EQ(frontmost<Preview>(), preview);
}

TEST_F(PreviewScreen, TheBackButtonClearsTheCacheBeforeItCloses) {
  auto preview = open();
  ASSERT_TRUE(std::filesystem::exists(newdoc::cacheFolder()));
  ASSERT_TRUE(ui->tap(preview->backButton.lock()));
  EXPECT_FALSE(std::filesystem::exists(newdoc::cacheFolder()));
  EXPECT_TRUE(preview->isBeingDismissed());
  pass(0.3);
  EXPECT_FALSE(frontmost<Preview>());
  ZTEvents::shared()->mediaCreatedEventEmit(
      newdoc::photo(newdoc::cachePhoto("2.jpg", zttest::plainJPEG(20, 20))));
  ui->settle();
  pass(0.3);
  EXPECT_FALSE(frontmost<Preview>()) << "no capture waits any more";
}

TEST_F(PreviewScreen, ASecondSubmitWhileARunIsInProgressIsIgnored) {
  auto preview = open();
  ui->tap(preview->submitButton.lock());
  ui->settle();
  preview->submitAction(*preview->submitButton.lock());
  pass(0.3);
  ASSERT_TRUE(ui->runUntil([&] { return answered("documents.confirm", 1); }));
  EXPECT_EQ(sb().count("documents.create"), 1u);
}

TEST_F(PreviewScreen, ARingThatCouldNotBePresentedLeavesSubmitWorking) {
  auto viewModel = std::make_shared<ZTDocumentPreviewViewModel>(
      UIKit::UIImage::withSize({10, 10}), newdoc::cachePhoto("1.jpg", zttest::plainJPEG(64, 48)),
      Type::Passport);
  ui.reset();
  viewModel->submitDocument();  // no window: no controller to present the ring from
  Foundation::RunLoop::main().runPending();
  ui = std::make_unique<PlatformTesting::UI>();
  auto preview = std::make_shared<Preview>(viewModel);
  preview->setModalPresentationStyle(UIKit::UIModalPresentationStyle::overCurrentContext);
  ui->root()->present(preview, true);
  pass(0.3);
  ui->tap(preview->submitButton.lock());
  pass(0.3);
  EXPECT_TRUE(frontmost<ZTUploadDockProgressViewController>());
  EXPECT_TRUE(ui->runUntil([&] { return answered("documents.confirm", 1); }));
}

}  // namespace
