#include "ZTUIComponents/ZTAddDockView.hpp"

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/InterfaceRegistry.hpp>
#include <UIKit/NSLayoutConstraint.hpp>
#include <UIKit/UINib.hpp>

#include "ZTLogger.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUtilites/ZTConstants.hpp"

namespace ZentrelSDK {

namespace {
const bool registered = [] {
  UIKit::InterfaceRegistry::shared().registerClass(
      "ZTAddDockView", [](UIKit::CGRect frame) { return ZTAddDockView::make(frame); });
  return true;
}();
}  // namespace

std::shared_ptr<ZTAddDockView> ZTAddDockView::make(UIKit::CGRect frame) {
  auto card = std::make_shared<ZTAddDockView>(Token{}, frame);
  card->xibInit();
  return card;
}

ZTAddDockView::ZTAddDockView(Token, UIKit::CGRect frame) : UIView(frame) {}

void ZTAddDockView::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("title", title);
  binder.outlet("text", text);
  binder.outlet("image", image);
  binder.outlet("contentView", contentView);
}

void ZTAddDockView::xibInit() {
  auto bundle = Foundation::Bundle::forIdentifier(ZTConstants::BundleID);
  if (!bundle) {
    ZTLogger::errorLog("ZTAddDockView: the kit's bundle was not found; the card stays empty");
    return;
  }
  // Held only until the content view is the card's own subview.
  const auto objects = UIKit::UINib("ZTAddDockView", bundle).instantiate(this);
  auto content = contentView.lock();
  if (!content) {
    ZTLogger::errorLog("ZTAddDockView: its interface file gave no content view");
    return;
  }
  if (auto picture = image.lock()) {
    picture->setImage(ZTImageFromLib::makeLibraryImage(picture->imageName));
  }
  content->setFrame(bounds());
  content->setCenter({bounds().midX(), bounds().midY()});
  addSubview(content);
  UIKit::NSLayoutConstraint::activate({content->centerXAnchor().constraint(centerXAnchor()),
                                       content->centerYAnchor().constraint(centerYAnchor())});
  content->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
}

}  // namespace ZentrelSDK
