#pragma once

#include <string>

#include "CoreGraphics/CGGeometry.hpp"
#include "UIKit/UIKeyboardType.hpp"

namespace UIKit {

inline const std::string UIKeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline const std::string UIKeyboardDidShowNotification = "UIKeyboardDidShowNotification";
inline const std::string UIKeyboardWillHideNotification = "UIKeyboardWillHideNotification";
inline const std::string UIKeyboardDidHideNotification = "UIKeyboardDidHideNotification";
// userInfo keys: frames are CGRect values in screen coordinates, the duration a double.
inline const std::string UIKeyboardFrameBeginUserInfoKey = "UIKeyboardFrameBeginUserInfoKey";
inline const std::string UIKeyboardFrameEndUserInfoKey = "UIKeyboardFrameEndUserInfoKey";
inline const std::string UIKeyboardAnimationDurationUserInfoKey =
    "UIKeyboardAnimationDurationUserInfoKey";

// The headless on-screen keyboard: it comes up when a key-input responder becomes first
// responder and goes when none is left, posting the platform's notifications on the default
// centre (will-* at once, did-* when its animation has passed on the clock).
class UIKeyboard {
 public:
  static constexpr double animationDuration = 0.25;
  static constexpr CGFloat height = 291;

  static UIKeyboard& shared();

  bool isVisible() const { return visible_; }
  // The keys it shows: those the first responder's traits ask for.
  UIKeyboardType keyboardType() const { return keyboardType_; }
  // Where it is shown, in screen coordinates.
  CGRect shownFrame() const;

 private:
  friend class UIResponder;
  UIKeyboard() = default;
  void show(UIKeyboardType type);
  void hide();

  bool visible_ = false;
  UIKeyboardType keyboardType_ = UIKeyboardType::defaultType;
};

}  // namespace UIKit
