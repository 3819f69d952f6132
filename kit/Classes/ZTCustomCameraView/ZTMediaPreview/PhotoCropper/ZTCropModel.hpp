#pragma once

#include <CoreGraphics/CGGeometry.hpp>

namespace ZentrelSDK {

// Where the crop mask sat when a photo was taken: its transparent hole on the screen and the
// bounds of the mask view.
struct ZTCropModel {
  CoreGraphics::CGRect cropZone;
  CoreGraphics::CGRect imageRect;

  // The hole's share of the view, centred in a photo of displayed `size`, in the bitmap's
  // axes (the horizontal extent from the height, the vertical from the width). A null rect
  // when the view's size gives no finite share: the cut then leaves the photo whole.
  CoreGraphics::CGRect calculateNewCropZone(CoreGraphics::CGSize size) const;
};

}  // namespace ZentrelSDK
