#pragma once

#include <optional>
#include <vector>

#include "QuartzCore/CALayer.hpp"

namespace QuartzCore {

// Fills its bounds with a gradient along the line from `startPoint` to `endPoint`, in unit
// coordinates of the layer (0, 0 top left; 1, 1 bottom right).
class CAGradientLayer : public CALayer {
 public:
  std::vector<CGColor> colors;
  std::optional<std::vector<CGFloat>> locations;
  CGPoint startPoint{0.5, 0};
  CGPoint endPoint{0.5, 1};

  std::optional<CAValue> valueForKeyPath(std::string_view keyPath) const override;
};

}  // namespace QuartzCore
