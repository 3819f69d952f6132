#include "ZTUtilites/ZTUIConstants.hpp"

namespace ZentrelSDK {

namespace {
// Colour literals of the asset catalogue: 8-bit components, held in single precision.
UIKit::UIColor literal(int red, int green, int blue) {
  auto component = [](int v) { return static_cast<double>(static_cast<float>(v / 255.0)); };
  return {component(red), component(green), component(blue), 1.0};
}
}  // namespace

const UIKit::UIColor& ZTUIConstants::COLOR_TEXTFIELD_BACKGROUND() {
  static const UIKit::UIColor color(0.95, 0.96, 0.97, 1.0);
  return color;
}

const UIKit::UIColor& ZTUIConstants::COLOR_AUTH_BUTTON_BACKGROUND_ACTIVE() {
  static const UIKit::UIColor color(0.43, 0.2, 0.79, 1.0);
  return color;
}

const UIKit::UIColor& ZTUIConstants::COLOR_AUTH_BUTTON_BACKGROUND_DISABLE() {
  static const UIKit::UIColor color(0.43, 0.2, 0.79, 0.5);
  return color;
}

const UIKit::UIColor& ZTUIConstants::MAIN_COLOR() {
  static const UIKit::UIColor color = literal(121, 43, 239);
  return color;
}

const UIKit::UIColor& ZTUIConstants::TEXT_BLACK_COLOR() {
  static const UIKit::UIColor color = literal(17, 22, 26);
  return color;
}

const UIKit::UIColor& ZTUIConstants::INACTIVE_UNDERLINE_COLOR() {
  static const UIKit::UIColor color = literal(183, 191, 202);
  return color;
}

}  // namespace ZentrelSDK
