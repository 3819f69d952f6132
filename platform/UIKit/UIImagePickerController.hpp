#pragma once

namespace UIKit {

// Swift's UIImagePickerController, the part that tells which cameras there are.
class UIImagePickerController {
 public:
  enum class CameraDevice : int { rear = 0, front = 1 };

  // Swift `isCameraDeviceAvailable(_:)`: from the simulated hardware; any thread.
  static bool isCameraDeviceAvailable(CameraDevice device);
};

}  // namespace UIKit
