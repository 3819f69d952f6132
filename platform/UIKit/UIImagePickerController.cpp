#include "UIKit/UIImagePickerController.hpp"

#include "UIKit/UIDevice.hpp"

namespace UIKit {

bool UIImagePickerController::isCameraDeviceAvailable(CameraDevice device) {
  return device == CameraDevice::rear ? SimulatedDevice::rearCameraAvailable.load()
                                      : SimulatedDevice::frontCameraAvailable.load();
}

}  // namespace UIKit
