#pragma once

namespace UIKit {

// The platform's raw values. `automatic` resolves to `pageSheet` when presenting.
enum class UIModalPresentationStyle : int {
  fullScreen = 0,
  pageSheet = 1,
  formSheet = 2,
  currentContext = 3,
  custom = 4,
  overFullScreen = 5,
  overCurrentContext = 6,
  popover = 7,
  none = -1,
  automatic = -2,
};

// The platform's raw values. Kept for the presented controller; nothing is drawn, so every
// style only takes the transition's duration.
enum class UIModalTransitionStyle : int {
  coverVertical = 0,
  flipHorizontal = 1,
  crossDissolve = 2,
  partialCurl = 3,
};

}  // namespace UIKit
