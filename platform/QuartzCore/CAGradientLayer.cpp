#include "QuartzCore/CAGradientLayer.hpp"

namespace QuartzCore {

std::optional<CAValue> CAGradientLayer::valueForKeyPath(std::string_view keyPath) const {
  if (keyPath == "startPoint") return startPoint;
  if (keyPath == "endPoint") return endPoint;
  return CALayer::valueForKeyPath(keyPath);
}

}  // namespace QuartzCore
