#pragma once

#include <memory>

#include "CoreGraphics/CGContext.hpp"
#include "CoreGraphics/CGGeometry.hpp"

namespace UIKit {

class UIImage;

// UIKit's image contexts: a stack per thread, so each thread draws into its own.
// Swift `UIGraphicsBeginImageContextWithOptions`: a bitmap of `size` points at `scale` (0: the
// screen's), opaque or not. A size that makes no bitmap pushes no context (the current one
// is then none) but still needs its End.
void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale);
// Null when no context is open.
std::shared_ptr<CoreGraphics::CGContext> UIGraphicsGetCurrentContext();
// The current context's bitmap as an image at its scale, upright; null without a context.
std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext();
void UIGraphicsEndImageContext();

}  // namespace UIKit
