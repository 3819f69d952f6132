#include "ZTAuth/Entrance/ZTEntranceViewController.hpp"
#include "ZTExtensions/ZTUIViewExtensions.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"

// The entrance's layout steps: tab colours, the underline and the logo.

namespace ZentrelSDK {

void ZTEntranceViewController::configureUI(int index) {
  auto login = loginLabelTab.lock();
  auto signUp = signUpLabelTab.lock();
  if (login) {
    login->setTextColor(index == 0 ? ZTUIConstants::MAIN_COLOR()
                                   : ZTUIConstants::TEXT_BLACK_COLOR());
    setLetterSpacing(*login);
  }
  if (signUp) {
    signUp->setTextColor(index == 1 ? ZTUIConstants::MAIN_COLOR()
                                    : ZTUIConstants::TEXT_BLACK_COLOR());
    setLetterSpacing(*signUp);
  }
  animateLineOffset(index);
  if (auto logo = logoViewImage.lock())
    logo->setImage(ZTImageFromLib::makeLibraryImage("logoUpperLeft"));
  setOverrideUserInterfaceStyle(UIKit::UIUserInterfaceStyle::light);
}

bool ZTEntranceViewController::lineShouldNotMove(int index) const {
  auto line = swipableLineView.lock();
  auto login = loginLabelTab.lock();
  auto signUp = signUpLabelTab.lock();
  if (!line || !login || !signUp) return true;
  if (index == 0) return line->frame().origin.x == login->frame().origin.x;
  if (index == 1) return line->frame().origin.x == signUp->frame().origin.x;
  return false;
}

void ZTEntranceViewController::animateLineOffset(int index) {
  if (lineShouldNotMove(index)) return;
  UIKit::UIView::animate(
      0.3, 0, UIKit::UIView::AnimationOptions::curveEaseOut,
      [weak = weakAs<ZTEntranceViewController>(), index] {
        auto self = weak.lock();
        if (!self) return;
        auto line = self->swipableLineView.lock();
        auto login = self->loginLabelTab.lock();
        auto signUp = self->signUpLabelTab.lock();
        if (!line || !login || !signUp) return;
        if (index == 0) return line->setTransform(UIKit::CGAffineTransform::identity());
        const UIKit::CGFloat loginWidth = login->frame().size.width;
        // A tab without width gives no scale to move to.
        if (loginWidth == 0) return;
        const UIKit::CGFloat scale = signUp->frame().size.width / loginWidth;
        const UIKit::CGFloat tx =
            signUp->frame().origin.x - login->frame().origin.x / scale + 2 * scale;
        line->setTransform(UIKit::CGAffineTransform::scale(scale, 1.0)
                               .concatenating(UIKit::CGAffineTransform::translation(tx, 0)));
      });
}

}  // namespace ZentrelSDK
