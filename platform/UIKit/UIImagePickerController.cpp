#include "UIKit/UIImagePickerController.hpp"

#include <mutex>

#include "UIKit/UIDevice.hpp"

namespace UIKit {

namespace {
struct AvailabilityState {
  std::mutex mutex;
  UIImagePickerController::Availability answer;
};
AvailabilityState& availabilityState() {
  static auto* state = new AvailabilityState;
  return *state;
}
}  // namespace

bool UIImagePickerController::isSourceTypeAvailable(SourceType source) {
  Availability answer;
  {
    auto& state = availabilityState();
    std::lock_guard lock(state.mutex);
    answer = state.answer;
  }
  if (answer) return answer(source);
  return source != SourceType::camera;
}

bool UIImagePickerController::isCameraDeviceAvailable(CameraDevice device) {
  return device == CameraDevice::rear ? SimulatedDevice::rearCameraAvailable.load()
                                      : SimulatedDevice::frontCameraAvailable.load();
}

void UIImagePickerController::setAvailability(Availability availability) {
  auto& state = availabilityState();
  std::lock_guard lock(state.mutex);
  state.answer = std::move(availability);
}

}  // namespace UIKit
