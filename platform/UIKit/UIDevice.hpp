#pragma once

#include <atomic>

namespace UIKit {

// Swift's UIDeviceOrientation, with the platform's raw values.
enum class UIDeviceOrientation : int {
  unknown = 0,
  portrait = 1,
  portraitUpsideDown = 2,
  landscapeLeft = 3,
  landscapeRight = 4,
  faceUp = 5,
  faceDown = 6,
};

// Swift's UIInterfaceOrientation, with the platform's raw values.
enum class UIInterfaceOrientation : int {
  unknown = 0,
  portrait = 1,
  portraitUpsideDown = 2,
  landscapeLeft = 4,
  landscapeRight = 3,
};

// The simulated hardware UIKit reports: how the device is held, how the interface stands,
// which cameras the image picker sees and whether views can be snapshotted. Tests and hosts
// set it through PlatformTesting::CaptureRig. Atomic, so any thread may read it.
struct SimulatedDevice {
  static std::atomic<UIDeviceOrientation> orientation;
  static std::atomic<UIInterfaceOrientation> statusBarOrientation;
  static std::atomic<bool> rearCameraAvailable;
  static std::atomic<bool> frontCameraAvailable;
  static std::atomic<bool> snapshotsAvailable;
  // Portrait, both cameras, snapshots.
  static void reset();
};

// Swift's UIDevice.
class UIDevice {
 public:
  // Swift `UIDevice.current`.
  static UIDevice& current();
  // Any thread.
  UIDeviceOrientation orientation() const { return SimulatedDevice::orientation.load(); }

 private:
  UIDevice() = default;
};

}  // namespace UIKit
