#pragma once

#include <memory>
#include <optional>
#include <string>

#include "QuartzCore/CAAnimation.hpp"
#include "QuartzCore/CAValue.hpp"

namespace QuartzCore {

// Animates one key path of a layer from `fromValue` to `toValue`. An absent end takes the
// layer's own value of the key path.
class CABasicAnimation : public CAAnimation {
 public:
  explicit CABasicAnimation(std::string keyPath = {}) : keyPath(std::move(keyPath)) {}

  std::string keyPath;
  std::optional<CAValue> fromValue;
  std::optional<CAValue> toValue;

  std::shared_ptr<CAAnimation> copy() const override {
    return std::make_shared<CABasicAnimation>(*this);
  }
};

}  // namespace QuartzCore
