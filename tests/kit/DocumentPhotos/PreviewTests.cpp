#include <cmath>
#include <limits>
#include <numbers>

#include <UIKit/UIButton.hpp>
#include <UIKit/UIImageView.hpp>

#include "DocumentPhotosSupport.hpp"
#include "ZTCustomCameraView/ZTCameraViewController.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoPreview/ZTPhotoPreviewViewController.hpp"

namespace photostest {
namespace {

using UIKit::CGRect;
using ZentrelSDK::ZTCropModel;
using ZentrelSDK::ZTPhotoPreviewViewController;

// The capture frame of a 375 × 600 overlay.
constexpr ZTCropModel kFrame{CGRect::make(20, 2, 335, 596), CGRect::make(0, 0, 375, 600)};

class PhotoPreview : public DocumentPhotos {
 protected:
  // A camera photo delivered as the capture screen delivers it.
  void deliver(std::optional<ZTCropModel> crop) {
    processor().openCamera();
    advance(1);
    // The capture screen closes before it announces its photo.
    ui->tap(ui->find<UIKit::UIButton>("cancelButton"));
    advance(1);
    ZentrelSDK::ZTEvents::shared()->imagePickedForPreviewEmit(
        UIImage::withData(quadrantJPEG(400, 300)), crop);
    advance(1);
  }
  void tapButton(const char* name) {
    ASSERT_TRUE(ui->tap(ui->find<UIKit::UIButton>(name))) << name;
    advance(1);
  }
};

TEST_F(PhotoPreview, QuarterTurnsRunTo360ThenStartAgainAt90) {
  deliver(kFrame);
  ASSERT_NE(front<ZTPhotoPreviewViewController>(), nullptr);
  auto photo = ui->find<UIKit::UIImageView>("photoImageView");
  // The cut photo is 398 × 268: turned on its side it is scaled by its width over height.
  const double side = 398.0 / 268.0;
  const struct {
    double angle, scale;
  } rows[] = {{90, side}, {180, 1}, {270, side}, {360, 1}, {90, side}};
  for (const auto& row : rows) {
    tapButton("turnToRightButton");
    const auto want = UIKit::CGAffineTransform::rotation(row.angle / 180 * std::numbers::pi)
                          .scaledBy(row.scale, row.scale);
    const auto got = photo->transform();
    EXPECT_NEAR(got.a, want.a, 1e-9) << row.angle;
    EXPECT_NEAR(got.b, want.b, 1e-9) << row.angle;
    EXPECT_NEAR(got.c, want.c, 1e-9) << row.angle;
    EXPECT_NEAR(got.d, want.d, 1e-9) << row.angle;
  }
  tapButton("retakeButton");
}

TEST_F(PhotoPreview, ConfirmStoresTheCutTurnedPictureOnce) {
  deliver(kFrame);
  tapButton("turnToRightButton");
  tapButton("addButton");
  EXPECT_EQ(front<ZTPhotoPreviewViewController>(), nullptr);
  expectOneStoredCutTurnedRight();
}

TEST_F(PhotoPreview, AFrameThatGivesNoShareLeavesThePhotoUncut) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* name;
    std::optional<ZTCropModel> crop;
  } rows[] = {
      {"no crop model", std::nullopt},
      {"zero view", ZTCropModel{kFrame.cropZone, CGRect::make(0, 0, 0, 0)}},
      {"NaN view", ZTCropModel{kFrame.cropZone, CGRect::make(0, 0, nan, 600)}},
  };
  for (const auto& row : rows) {
    deliver(row.crop);
    for (int i = 0; i < 4; ++i) tapButton("turnToRightButton");  // 360
    tapButton("addButton");
    ASSERT_EQ(stored.size(), 1u) << row.name;
    auto picture = storedImage();
    ASSERT_NE(picture, nullptr) << row.name;
    // Drawn as shown: the portrait, upright.
    EXPECT_EQ(picture->pixelWidth(), 300u) << row.name;
    EXPECT_EQ(picture->pixelHeight(), 400u) << row.name;
    EXPECT_TRUE(near(corners(*picture)[0], kBlue)) << row.name;
    stored.clear();
  }
}

TEST_F(PhotoPreview, AnAbandonedCameraRouteLeavesOneListener) {
  for (int round = 0; round < 2; ++round) {
    processor().openCamera();
    advance(1);
    ui->tap(ui->find<UIKit::UIButton>("cancelButton"));
    advance(1);
  }
  EXPECT_EQ(processorListeners(), 1u);
  deliver(std::nullopt);
  EXPECT_NE(front<ZTPhotoPreviewViewController>(), nullptr);
  EXPECT_EQ(processorListeners(), 0u);
  tapButton("retakeButton");
}

}  // namespace
}  // namespace photostest

namespace photostest {
namespace {

TEST_F(DocumentPhotos, TheCaptureScreenCutsItsHoleInTheOverlay) {
  processor().openCamera();
  advance(1);
  auto camera = front<ZentrelSDK::ZTCameraViewController>();
  ASSERT_NE(camera, nullptr);
  EXPECT_EQ(camera->holeInMaskRect(), UIKit::CGRect::make(20, 2, 335, 596));
  const auto& layers = ui->find("maskView")->layer()->sublayers();
  ASSERT_EQ(layers.size(), 1u);
  EXPECT_EQ(layers[0]->frame(), UIKit::CGRect::make(18, 0, 339, 600));
  EXPECT_EQ(layers[0]->borderWidth, 2.0);
  EXPECT_EQ(layers[0]->cornerRadius, 12.0);
  ui->tap(ui->find<UIKit::UIButton>("cancelButton"));
  advance(1);
  EXPECT_EQ(ui->frontmost(), ui->root());
}

}  // namespace
}  // namespace photostest
