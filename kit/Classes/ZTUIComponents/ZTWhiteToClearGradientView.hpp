#pragma once

#include <UIKit/UIColor.hpp>
#include <UIKit/UIView.hpp>

namespace ZentrelSDK {

// A view whose own content fades out along its height: each draw masks its layer with a new
// vertical gradient, opaque at one edge and clear from 60 % of the height on. Interface
// files may name it by its class and set "directionFromTopToBottom"; a new direction shows
// at the next draw.
class ZTWhiteToClearGradientView : public UIKit::UIView {
 public:
  explicit ZTWhiteToClearGradientView(UIKit::CGRect frame = {});

  // Yes: opaque at the top, fading downwards; no: opaque at the bottom, fading upwards.
  bool directionFromTopToBottom = true;

  void draw(UIKit::CGRect rect) override;
  void decodeInterface(UIKit::InterfaceCoder& coder) override;

 private:
  // Only its transparency reaches the mask.
  UIKit::UIColor startColor = UIKit::UIColor::white();
};

}  // namespace ZentrelSDK
