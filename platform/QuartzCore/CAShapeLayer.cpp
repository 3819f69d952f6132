#include "QuartzCore/CAShapeLayer.hpp"

namespace QuartzCore {

std::optional<CAValue> CAShapeLayer::valueForKeyPath(std::string_view keyPath) const {
  if (keyPath == "path" && path) return *path;
  if (keyPath == "strokeEnd") return strokeEnd;
  if (keyPath == "strokeStart") return strokeStart;
  if (keyPath == "lineWidth") return lineWidth;
  if (keyPath == "strokeColor" && strokeColor) return *strokeColor;
  if (keyPath == "fillColor" && fillColor) return *fillColor;
  return CALayer::valueForKeyPath(keyPath);
}

}  // namespace QuartzCore
