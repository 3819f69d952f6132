#pragma once

#include <memory>

#include <UIKit/UILabel.hpp>
#include <UIKit/UIView.hpp>

#include "ZTUIComponents/ZTImageViewFromLib.hpp"

namespace ZentrelSDK {

// The add-document card: a picture, a title and a text laid out by the interface file
// "ZTAddDockView" of the kit's bundle. It reacts to nothing itself; its user attaches what it
// needs. Interface files may name it by its class. Made through `make`, since laying out its
// content needs the card to be shared already.
class ZTAddDockView : public UIKit::UIView {
  struct Token {};

 public:
  // Swift `init(frame:)`. Without the bundle or the file the card stays empty (logged).
  static std::shared_ptr<ZTAddDockView> make(UIKit::CGRect frame = {});
  ZTAddDockView(Token, UIKit::CGRect frame);

  // Outlets, held weakly: the content view is the card's subview and owns the others.
  std::weak_ptr<UIKit::UILabel> title;
  std::weak_ptr<UIKit::UILabel> text;
  std::weak_ptr<ZTImageViewFromLib> image;
  std::weak_ptr<UIKit::UIView> contentView;

  void bindInterface(UIKit::InterfaceBinder& binder) override;

 private:
  void xibInit();
};

}  // namespace ZentrelSDK
