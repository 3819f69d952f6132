#pragma once

#include <memory>
#include <optional>

#include <UIKit/UIActivityIndicatorView.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIImagePickerController.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UIPanGestureRecognizer.hpp>
#include <UIKit/UIPinchGestureRecognizer.hpp>
#include <UIKit/UIViewController.hpp>

namespace ZentrelSDK {

// The crop screen of the library route, one per process: the picked photo under an overlay
// with a rectangular hole; one finger moves the photo, two zoom it; Done cuts what lies under
// the hole and hands it to the photo processor's store. Laid out from "the interface file of
// its name" on every appearance, and at once when a photo or mask arrives while it is shown.
// Main thread only.
class ZTMediaPhotoCropViewController : public UIKit::UIViewController,
                                       public UIKit::UINavigationControllerDelegate {
 public:
  using SourceType = UIKit::UIImagePickerController::SourceType;
  // The smallest zoom: the photo never collapses to nothing or turns over.
  static constexpr UIKit::CGFloat minimumScale = 0.1;

  // Made on first use with the photo-library source, kept until the process ends.
  static const std::shared_ptr<ZTMediaPhotoCropViewController>& shared();
  explicit ZTMediaPhotoCropViewController(SourceType source);

  void changeSource(SourceType source) { photoSource = source; }
  // A photo that is not upright or not at scale 1 is laid out and cut as it shows, upright
  // at scale 1; the cut alone is redrawn so.
  void setImageForCropping(std::shared_ptr<UIKit::UIImage> image);
  void setMaskImage(std::shared_ptr<UIKit::UIImage> image);
  void resetMaskImage();

  // Actions of the interface file.
  void done();
  void cancel();
  void takeAnotherPicture();
  void actionPan(UIKit::UIPanGestureRecognizer& gesture);
  void actionPinch(UIKit::UIPinchGestureRecognizer& gesture);

  UIKit::CGRect holeInMaskRect() const { return holeInMaskRect_; }
  UIKit::CGFloat scale() const { return scale_; }

  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void viewDidAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;

 private:
  void showCroppingImageAndMask();
  void hideCroppingView();
  void calculateInitialImageSize();
  void resetTransformation();
  std::optional<UIKit::CGRect> calculateImageFrame(const std::shared_ptr<UIKit::UIImage>& image,
                                                   const UIKit::UIView& view,
                                                   UIKit::CGFloat multiplier = 0.8) const;
  void setupMask();
  void createTransperentHoleInMask();
  void clearMaskHole();
  bool maskImageIsShowing() const;
  void finishUserPanInteraction();
  void scaleImage(UIKit::CGFloat gestureScale);
  void showBottomButtons(bool show);
  std::shared_ptr<UIKit::UIImage> crop() const;
  bool isShowing() const;

  std::weak_ptr<UIKit::UIView> bottomBar;
  std::weak_ptr<UIKit::UIImageView> croppingImageView;
  std::weak_ptr<UIKit::UIActivityIndicatorView> activityIndicator;
  std::weak_ptr<UIKit::UIView> maskView;
  std::weak_ptr<UIKit::UIImageView> maskImageView;

  SourceType photoSource;
  UIKit::CGRect holeInMaskRect_;
  std::optional<UIKit::CGPoint> panLastLocation;
  UIKit::CGFloat scale_ = 1.0;
  UIKit::CGFloat currentScale = 1.0;
  bool appeared_ = false;  // between viewDidAppear and viewWillDisappear
};

}  // namespace ZentrelSDK
