#pragma once

#include <optional>

#include "QuartzCore/CALayer.hpp"
#include "QuartzCore/CGPath.hpp"

namespace QuartzCore {

enum class CAShapeLayerLineCap { butt, round, square };
// Which parts of a self-overlapping path are inside: even-odd cuts a hole where two
// subpaths overlap.
enum class CAShapeLayerFillRule { nonZero, evenOdd };

// A layer that strokes and fills a path; the stroke runs from `strokeStart` to `strokeEnd`,
// fractions of the path's length.
class CAShapeLayer : public CALayer {
 public:
  std::optional<CGPath> path;
  std::optional<CGColor> fillColor = CGColor{0, 0, 0, 1};
  std::optional<CGColor> strokeColor;
  CAShapeLayerFillRule fillRule = CAShapeLayerFillRule::nonZero;
  CGFloat lineWidth = 1;
  CAShapeLayerLineCap lineCap = CAShapeLayerLineCap::butt;
  CGFloat strokeStart = 0;
  CGFloat strokeEnd = 1;

  std::optional<CAValue> valueForKeyPath(std::string_view keyPath) const override;
};

}  // namespace QuartzCore
