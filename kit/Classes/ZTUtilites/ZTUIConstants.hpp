#pragma once

#include <UIKit/UIColor.hpp>

namespace ZentrelSDK {

// The kit's palette. Each colour is made on first use and never changes; safe to read from
// any thread.
class ZTUIConstants {
 public:
  ZTUIConstants() = default;

  static const UIKit::UIColor& COLOR_TEXTFIELD_BACKGROUND();
  static const UIKit::UIColor& COLOR_AUTH_BUTTON_BACKGROUND_ACTIVE();
  static const UIKit::UIColor& COLOR_AUTH_BUTTON_BACKGROUND_DISABLE();
  // The accent: filled underlines, the selected tab, the upload ring.
  static const UIKit::UIColor& MAIN_COLOR();
  static const UIKit::UIColor& TEXT_BLACK_COLOR();
  static const UIKit::UIColor& INACTIVE_UNDERLINE_COLOR();
};

}  // namespace ZentrelSDK
