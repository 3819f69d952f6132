#include "UIKit/UIDevice.hpp"

namespace UIKit {

std::atomic<UIDeviceOrientation> SimulatedDevice::orientation{UIDeviceOrientation::portrait};
std::atomic<UIInterfaceOrientation> SimulatedDevice::statusBarOrientation{
    UIInterfaceOrientation::portrait};
std::atomic<bool> SimulatedDevice::rearCameraAvailable{true};
std::atomic<bool> SimulatedDevice::frontCameraAvailable{true};
std::atomic<bool> SimulatedDevice::snapshotsAvailable{true};

void SimulatedDevice::reset() {
  orientation = UIDeviceOrientation::portrait;
  statusBarOrientation = UIInterfaceOrientation::portrait;
  rearCameraAvailable = true;
  frontCameraAvailable = true;
  snapshotsAvailable = true;
}

UIDevice& UIDevice::current() {
  static UIDevice device;
  return device;
}

}  // namespace UIKit
