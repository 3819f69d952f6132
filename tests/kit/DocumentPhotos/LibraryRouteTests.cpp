#include <cmath>
#include <limits>

#include <UIKit/UIButton.hpp>
#include <UIKit/UIImagePickerController.hpp>
#include <UIKit/UIImageView.hpp>

#include "DocumentPhotosSupport.hpp"
#include "ZTCustomCameraView/ZTCustomImagePickerView/ZTImagePickerShellView.hpp"

namespace photostest {
namespace {

using UIKit::CGRect;
using ZentrelSDK::ZTMediaPhotoCropViewController;

void expectRect(const CGRect& got, const CGRect& want, const char* what) {
  EXPECT_NEAR(got.origin.x, want.origin.x, 1e-6) << what;
  EXPECT_NEAR(got.origin.y, want.origin.y, 1e-6) << what;
  EXPECT_NEAR(got.size.width, want.size.width, 1e-6) << what;
  EXPECT_NEAR(got.size.height, want.size.height, 1e-6) << what;
}

class LibraryRoute : public DocumentPhotos {
 protected:
  // A portrait stored landscape: 2000 × 1000 pixels shown as 1000 × 2000.
  std::shared_ptr<UIImage> portrait() { return UIImage::withData(quadrantJPEG(2000, 1000)); }
  std::shared_ptr<UIKit::UIImageView> photoView() {
    return ui->find<UIKit::UIImageView>("croppingImageView");
  }
  std::shared_ptr<UIKit::UIView> maskView() { return ui->find("maskView"); }
  void tapButton(const char* name) {
    ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>(name))) << name;
    advance(1);
  }
};

TEST_F(LibraryRoute, SheetPickAndDoneStoreTheCutUprightPicture) {
  processor().showPhotoSourceAlert();
  advance(1);
  ASSERT_TRUE(ui->chooseAction("Choose from library"));
  advance(1);
  auto picker = front<UIKit::UIImagePickerController>();
  ASSERT_NE(picker, nullptr);
  EXPECT_EQ(picker->sourceType(), UIKit::UIImagePickerController::SourceType::photoLibrary);
  EXPECT_FALSE(picker->allowsEditing());

  ASSERT_TRUE(ui->pick(portrait()));
  advance(1);
  // One event, once the shell and the picker have gone.
  ASSERT_EQ(frontAtCroppingEvents.size(), 1u);
  EXPECT_EQ(std::dynamic_pointer_cast<UIKit::UIImagePickerController>(frontAtCroppingEvents[0]),
            nullptr);
  EXPECT_EQ(std::dynamic_pointer_cast<ZentrelSDK::ZTImagePickerShellView>(frontAtCroppingEvents[0]),
            nullptr);
  ASSERT_NE(front<ZTMediaPhotoCropViewController>(), nullptr);
  expectRect(photoView()->frame(), CGRect::make(37.5, 106, 300, 600), "photo");
  expectRect(ZTMediaPhotoCropViewController::shared()->holeInMaskRect(),
             CGRect::make(37.5, 100, 300, 420), "hole");

  tapButton("doneButton");
  ASSERT_EQ(stored.size(), 1u);
  auto picture = storedImage();
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->pixelWidth(), 1000u);
  EXPECT_EQ(picture->pixelHeight(), 1380u);
  EXPECT_EQ(picture->imageOrientation(), UIImage::Orientation::Up);
  // Shown upright: the stored bottom-left quadrant is now the top left.
  const auto c = corners(*picture);
  EXPECT_TRUE(near(c[0], kBlue));
  EXPECT_TRUE(near(c[1], kRed));
  EXPECT_TRUE(near(c[2], kYellow));
  EXPECT_EQ(ui->frontmost(), ui->root());
}

TEST_F(LibraryRoute, PinchesAddUpAndBadScalesChangeNothing) {
  struct Row {
    const char* name;
    std::vector<std::vector<double>> pinches;  // each a list of finger spreads
    double scale;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Row rows[] = {
      {"two pinches to 2.0", {{1.5, 2.0}, {1.5, 2.0}}, 3.0},
      {"one to 0.5", {{0.8, 0.5}}, 0.5},
      {"down to nothing stops at the bound", {{0.8, 0.5}, {0.5, 0.01}}, 0.1},
      {"a scale of 0", {{1.5, 0.0}}, 1.0},
      {"a NaN scale", {{1.5, nan}}, 1.0},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(openCropScreenWith(portrait())) << row.name;
    for (const auto& pinch : row.pinches) ui->pinch(maskView(), pinch);
    advance(1);
    EXPECT_DOUBLE_EQ(ZTMediaPhotoCropViewController::shared()->scale(), row.scale) << row.name;
    EXPECT_NEAR(photoView()->frame().size.width, 300 * row.scale, 1e-6) << row.name;
    EXPECT_TRUE(std::isfinite(photoView()->frame().origin.x)) << row.name;
    tapButton("cancelButton");
  }
  EXPECT_TRUE(stored.empty());
}

TEST_F(LibraryRoute, DoneCutsWhatLiesUnderTheHole) {
  struct Row {
    const char* name;
    std::shared_ptr<UIImage> photo;
    std::vector<UIKit::CGPoint> pan;  // points of the mask view
    bool collapsed;                   // laid out again in a view of no size
    std::size_t width, height;
  };
  // 2000 × 1000 pixels at scale 2: 1000 × 500 points, laid out at (37.5, 331, 300, 150).
  auto sharp = UIImage::withCGImage(UIImage::withData(quadrantJPEG(2000, 1000, 1))->cgImage(), 2,
                                    UIImage::Orientation::Up);
  const Row rows[] = {
      {"no move", portrait(), {}, false, 1000, 1380},
      // Photo from x = 137.5: the cut starts at its left edge, ends at the hole's right.
      {"moved right by 100",
       portrait(),
       {{100, 400}, {100, 415}, {120, 415}, {220, 415}},
       false,
       667,
       1380},
      {"moved off the hole: stored whole",
       portrait(),
       {{100, 400}, {100, 415}, {120, 415}, {720, 415}},
       false,
       1000,
       2000},
      {"a view of no size: stored whole", portrait(), {}, true, 1000, 2000},
      // Cut in pixels: the hole reaches below the photo, which keeps its own rows.
      {"a photo at scale 2", sharp, {}, false, 2000, 1000},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(openCropScreenWith(row.photo)) << row.name;
    auto overlay = maskView();
    const auto frame = overlay->frame();
    if (!row.pan.empty()) ui->pan(overlay, row.pan);
    if (row.collapsed) {
      overlay->setFrame(UIKit::CGRect{frame.origin, {0, 0}});
      processor().openPhotoCropper(UIKit::UIImagePickerController::SourceType::photoLibrary,
                                   row.photo);
    }
    tapButton("doneButton");
    overlay->setFrame(frame);
    ASSERT_EQ(stored.size(), 1u) << row.name;
    auto picture = storedImage();
    ASSERT_NE(picture, nullptr) << row.name;
    EXPECT_EQ(picture->pixelWidth(), row.width) << row.name;
    EXPECT_EQ(picture->pixelHeight(), row.height) << row.name;
    stored.clear();
  }
}

TEST_F(LibraryRoute, TheBottomBarReturnsAfterEveryPanEnding) {
  struct Row {
    const char* name;
    bool cancelled;
  };
  for (const Row row : {Row{"lifted", false}, Row{"taken away", true}}) {
    ASSERT_TRUE(openCropScreenWith(portrait())) << row.name;
    ui->pan(maskView(), {{100, 400}, {100, 415}, {110, 415}}, row.cancelled);
    advance(1);
    EXPECT_DOUBLE_EQ(ui->find("bottomBar")->alpha(), 1.0) << row.name;
    tapButton("cancelButton");
  }
}

TEST_F(LibraryRoute, CancelAndEmptyPicksStoreNothing) {
  ASSERT_TRUE(openCropScreenWith(portrait()));
  tapButton("cancelButton");
  EXPECT_EQ(ui->frontmost(), ui->root());

  processor().openImagePicker();
  advance(1);
  ASSERT_TRUE(ui->pick(std::map<std::string, Foundation::Any>{
      {UIKit::UIImagePickerController::editedImage, Foundation::Any(portrait())}}));
  advance(1);
  EXPECT_NE(front<UIKit::UIImagePickerController>(), nullptr) << "a pick without an image";
  ASSERT_TRUE(ui->cancelPick());
  advance(1);
  EXPECT_EQ(ui->frontmost(), ui->root());
  EXPECT_TRUE(frontAtCroppingEvents.size() == 1u);
  EXPECT_TRUE(stored.empty());
}

TEST_F(LibraryRoute, ANewPickOverTheCropScreenIsLaidOutAtOnce) {
  ASSERT_TRUE(openCropScreenWith(portrait()));
  ui->pinch(maskView(), {1.5, 2.0});
  // A wide photo handed in while the screen stays up.
  processor().openPhotoCropper(UIKit::UIImagePickerController::SourceType::photoLibrary,
                               UIImage::withData(quadrantJPEG(2000, 1000, 1)));
  advance(1);
  expectRect(photoView()->frame(), CGRect::make(37.5, 331, 300, 150), "wide photo");
  EXPECT_DOUBLE_EQ(ZTMediaPhotoCropViewController::shared()->scale(), 1.0);
  // And a mask: the hole becomes the mask fitted into the view.
  processor().openPhotoCropper(UIKit::UIImagePickerController::SourceType::photoLibrary,
                               UIImage::withData(quadrantJPEG(2000, 1000, 1)),
                               UIImage::withSize({300, 200}, kRed));
  advance(1);
  expectRect(ZTMediaPhotoCropViewController::shared()->holeInMaskRect(),
             CGRect::make(37.5, 306, 300, 200), "hole of the mask");
  tapButton("cancelButton");
}

TEST_F(LibraryRoute, AnAbandonedRouteLeavesOneListener) {
  processor().openImagePicker();
  advance(1);
  ASSERT_TRUE(ui->cancelPick());
  advance(1);
  processor().openImagePicker();
  advance(1);
  EXPECT_EQ(processorListeners(), 1u);
  ASSERT_TRUE(ui->pick(portrait()));
  advance(1);
  EXPECT_EQ(processorListeners(), 0u);
  tapButton("cancelButton");
}

}  // namespace
}  // namespace photostest
