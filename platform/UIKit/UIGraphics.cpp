#include "UIKit/UIGraphics.hpp"

#include <cmath>
#include <vector>

#include "UIKit/UIImage.hpp"
#include "UIKit/UIScreen.hpp"

namespace UIKit {

namespace {
std::vector<std::shared_ptr<CoreGraphics::CGContext>>& contextStack() {
  thread_local std::vector<std::shared_ptr<CoreGraphics::CGContext>> stack;
  return stack;
}

// Stored pixels to the picture as displayed, in stored pixel units.
CGAffineTransform orientationTransform(UIImage::Orientation o, CGFloat w, CGFloat h) {
  using O = UIImage::Orientation;
  switch (o) {
    case O::Up:
      return CGAffineTransform::identity();
    case O::Down:
      return {-1, 0, 0, -1, w, h};
    case O::Left:
      return {0, -1, 1, 0, 0, w};
    case O::Right:
      return {0, 1, -1, 0, h, 0};
    case O::UpMirrored:
      return {-1, 0, 0, 1, w, 0};
    case O::DownMirrored:
      return {1, 0, 0, -1, 0, h};
    case O::LeftMirrored:
      return {0, 1, 1, 0, 0, 0};
    case O::RightMirrored:
      return {0, -1, -1, 0, h, w};
  }
  return CGAffineTransform::identity();
}
}  // namespace

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale) {
  if (scale == 0) scale = UIScreen::main().scale();
  std::shared_ptr<CoreGraphics::CGContext> context;
  const double w = std::ceil(size.width * scale);
  const double h = std::ceil(size.height * scale);
  if (std::isfinite(w) && std::isfinite(h) && w >= 1 && h >= 1)
    context = CoreGraphics::CGContext::makeBitmap(static_cast<std::size_t>(w),
                                                  static_cast<std::size_t>(h), opaque, scale);
  contextStack().push_back(std::move(context));
}

std::shared_ptr<CoreGraphics::CGContext> UIGraphicsGetCurrentContext() {
  auto& stack = contextStack();
  return stack.empty() ? nullptr : stack.back();
}

std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext() {
  const auto context = UIGraphicsGetCurrentContext();
  if (!context) return nullptr;
  return UIImage::withCGImage(context->makeImage(), context->scale());
}

void UIGraphicsEndImageContext() {
  auto& stack = contextStack();
  if (!stack.empty()) stack.pop_back();
}

void UIImage::draw(CGRect rect) const {
  const auto context = UIGraphicsGetCurrentContext();
  const auto bitmap = cgImage();
  if (!context || !bitmap) return;
  const auto w = static_cast<CGFloat>(pixelWidth_);
  const auto h = static_cast<CGFloat>(pixelHeight_);
  const CGSize shown = size();
  const CGFloat perPoint = 1 / scale_;  // displayed pixels to displayed points
  const CGAffineTransform placement =
      orientationTransform(orientation_, w, h)
          .concatenating(CGAffineTransform::scale(perPoint * rect.size.width / shown.width,
                                                  perPoint * rect.size.height / shown.height))
          .concatenating(CGAffineTransform::translation(rect.origin.x, rect.origin.y));
  context->draw(*bitmap, placement);
}

}  // namespace UIKit
