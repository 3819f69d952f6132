#include "ZTUIComponents/ZTVerificationCode/ZTSingleCharCodeView.hpp"

#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/InterfaceRegistry.hpp>

#include "ZTExtensions/ZTUIViewExtensions.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"

namespace ZentrelSDK {

namespace {
const bool registered =
    UIKit::InterfaceRegistry::registerViewClass<ZTSingleCharCodeView>("ZTSingleCharCodeView");
}  // namespace

ZTSingleCharCodeView::ZTSingleCharCodeView(UIKit::CGRect frame) : UIView(frame) {
  commonInit();
}

void ZTSingleCharCodeView::commonInit() {
  loadContentView(*this, "ZTSingleCharCodeView");
}

void ZTSingleCharCodeView::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("charLabel", charLabel);
  binder.outlet("underlineView", underlineView);
}

void ZTSingleCharCodeView::setCode(const std::string& code) {
  if (auto label = charLabel.lock()) label->setText(code);
  configureUI();
}

void ZTSingleCharCodeView::removeChar() {
  if (auto label = charLabel.lock()) label->setText(std::nullopt);
  configureUI();
}

void ZTSingleCharCodeView::configureUI() {
  auto line = underlineView.lock();
  if (!line) return;
  auto label = charLabel.lock();
  const bool empty = !label || !label->text();
  line->setBackgroundColor(empty ? ZTUIConstants::INACTIVE_UNDERLINE_COLOR()
                                 : ZTUIConstants::MAIN_COLOR());
}

}  // namespace ZentrelSDK
