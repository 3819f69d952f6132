#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "Foundation/Any.hpp"
#include "UIKit/UINavigationController.hpp"

namespace UIKit {

class UIImagePickerController;

// Swift `UINavigationControllerDelegate`: nothing the kit implements; adopted by name.
class UINavigationControllerDelegate {
 public:
  virtual ~UINavigationControllerDelegate() = default;
};

// Swift `UIImagePickerControllerDelegate`. Called on the main thread; the delegate closes
// the picker itself.
class UIImagePickerControllerDelegate {
 public:
  virtual ~UIImagePickerControllerDelegate() = default;
  virtual void imagePickerController(UIImagePickerController& picker,
                                     const std::map<std::string, Foundation::Any>& info) = 0;
  virtual void imagePickerControllerDidCancel(UIImagePickerController& picker) = 0;
};

// The system image picker. Nothing is browsed here: the user's choice comes from the
// testing driver (PlatformTesting::UI::pick), which calls the delegate as the platform does.
class UIImagePickerController : public UINavigationController {
 public:
  enum class SourceType { photoLibrary = 0, camera = 1, savedPhotosAlbum = 2 };
  enum class CameraDevice : int { rear = 0, front = 1 };
  // Info keys with the platform's raw values.
  static constexpr const char* originalImage = "UIImagePickerControllerOriginalImage";
  static constexpr const char* editedImage = "UIImagePickerControllerEditedImage";

  // Swift `isSourceTypeAvailable(_:)`: asks the process's availability answer (set by the
  // capture rig or host); without one the photo library is available and the camera not.
  // Any thread.
  static bool isSourceTypeAvailable(SourceType source);
  // Swift `isCameraDeviceAvailable(_:)`: from the simulated hardware; any thread.
  static bool isCameraDeviceAvailable(CameraDevice device);
  using Availability = std::function<bool(SourceType)>;
  // Null restores the default answer.
  static void setAvailability(Availability availability);

  UIImagePickerController() = default;

  SourceType sourceType() const { return sourceType_; }
  void setSourceType(SourceType source) { sourceType_ = source; }
  bool allowsEditing() const { return allowsEditing_; }
  void setAllowsEditing(bool allows) { allowsEditing_ = allows; }
  // Held weakly.
  std::shared_ptr<UIImagePickerControllerDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UIImagePickerControllerDelegate> delegate) {
    delegate_ = std::move(delegate);
  }

 private:
  SourceType sourceType_ = SourceType::photoLibrary;
  bool allowsEditing_ = false;
  std::weak_ptr<UIImagePickerControllerDelegate> delegate_;
};

}  // namespace UIKit
