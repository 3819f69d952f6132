#pragma once

#include <map>
#include <memory>
#include <string>

#include <UIKit/UIImage.hpp>
#include <UIKit/UIImagePickerController.hpp>
#include <UIKit/UIViewController.hpp>

namespace ZentrelSDK {

// A bare screen that hosts the system picker on the photo library: it presents the picker
// once its view has loaded, and after a pick closes both and emits the photo as
// image-picked-for-cropping. A cancel closes both and emits nothing. Main thread only.
class ZTImagePickerShellView : public UIKit::UIViewController,
                               public UIKit::UIImagePickerControllerDelegate,
                               public UIKit::UINavigationControllerDelegate {
 public:
  ZTImagePickerShellView() = default;

  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;
  void imagePickerController(UIKit::UIImagePickerController& picker,
                             const std::map<std::string, Foundation::Any>& info) override;
  void imagePickerControllerDidCancel(UIKit::UIImagePickerController& picker) override;

 private:
  void openStandartImagePicker();
  void presentPickerOnce();

  std::shared_ptr<UIKit::UIImagePickerController> imagePicker;
  std::shared_ptr<UIKit::UIImage> pickedImage;
  bool pickerPresented_ = false;
};

}  // namespace ZentrelSDK
