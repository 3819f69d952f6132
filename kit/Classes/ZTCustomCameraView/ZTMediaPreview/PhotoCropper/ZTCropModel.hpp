#pragma once

#include <CoreGraphics/CGGeometry.hpp>

namespace ZentrelSDK {

// Where the crop mask sat when a photo was taken: its transparent hole on the screen and the
// bounds of the mask view.
struct ZTCropModel {
  CoreGraphics::CGRect cropZone;
  CoreGraphics::CGRect imageRect;
};

}  // namespace ZentrelSDK
