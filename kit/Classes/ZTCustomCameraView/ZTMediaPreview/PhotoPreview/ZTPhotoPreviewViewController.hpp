#pragma once

#include <memory>

#include <UIKit/NSLayoutConstraint.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTCustomCameraView/ZTMediaPreview/PhotoPreview/ZTPhotoPreview.hpp"

namespace ZentrelSDK {

// The photo preview: shows the cut camera photo, turns it on the quarter-turn button, retakes
// it or accepts it. Laid out by the interface file of its name; owns its view model, which
// refers back to it weakly. Main thread only.
class ZTPhotoPreviewViewController : public UIKit::UIViewController, public ZTPhotoPreview {
 public:
  explicit ZTPhotoPreviewViewController(std::shared_ptr<ZTPhotoPreviewModel> viewModel);

  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void viewDidLoad() override;

  void retakeAction();
  void turnTo90Action();
  void addAction();

  void setImage(std::shared_ptr<UIKit::UIImage> image) override;
  void rotateImage(UIKit::CGFloat angle) override;
  void dismissController(std::function<void()> event) override;

 private:
  void configureViews();

  std::shared_ptr<ZTPhotoPreviewModel> viewModel;
  std::weak_ptr<UIKit::UIButton> turnToRightButton;
  std::weak_ptr<UIKit::UIImageView> photoImageView;
  // The photo's proportion (height over width); recorded, not installed.
  std::shared_ptr<UIKit::NSLayoutConstraint> constraintPhotoAspectRatio;
};

}  // namespace ZentrelSDK
