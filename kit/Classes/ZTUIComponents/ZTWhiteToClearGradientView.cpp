#include "ZTUIComponents/ZTWhiteToClearGradientView.hpp"

#include <QuartzCore/CAGradientLayer.hpp>
#include <UIKit/InterfaceCoder.hpp>
#include <UIKit/InterfaceRegistry.hpp>

namespace ZentrelSDK {

namespace {
const bool registered = UIKit::InterfaceRegistry::registerViewClass<ZTWhiteToClearGradientView>(
    "ZTWhiteToClearGradientView");
}  // namespace

ZTWhiteToClearGradientView::ZTWhiteToClearGradientView(UIKit::CGRect frame) : UIView(frame) {}

void ZTWhiteToClearGradientView::draw(UIKit::CGRect rect) {
  auto gradient = std::make_shared<QuartzCore::CAGradientLayer>();
  if (directionFromTopToBottom) {
    gradient->startPoint = {0.5, 0.0};
    gradient->endPoint = {0.5, 0.6};
  } else {
    gradient->startPoint = {0.5, 1.0};
    gradient->endPoint = {0.5, 0.4};
  }
  gradient->colors = {startColor.withAlphaComponent(1.0).cgColor(),
                      startColor.withAlphaComponent(1.0).cgColor(),
                      startColor.withAlphaComponent(0.0).cgColor()};
  gradient->locations = std::vector<UIKit::CGFloat>{0.0, 0.2, 1.0};
  gradient->setFrame(rect);
  layer()->setMask(gradient);
}

void ZTWhiteToClearGradientView::decodeInterface(UIKit::InterfaceCoder& coder) {
  UIView::decodeInterface(coder);
  if (auto value = coder.decodeBool("directionFromTopToBottom")) directionFromTopToBottom = *value;
}

}  // namespace ZentrelSDK
