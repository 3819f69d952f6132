#include "ZTUIComponents/ZTImageViewFromLib.hpp"

#include <UIKit/InterfaceCoder.hpp>
#include <UIKit/InterfaceRegistry.hpp>

namespace ZentrelSDK {

namespace {
const bool registered =
    UIKit::InterfaceRegistry::registerViewClass<ZTImageViewFromLib>("ZTImageViewFromLib");
}  // namespace

void ZTImageViewFromLib::decodeInterface(UIKit::InterfaceCoder& coder) {
  UIImageView::decodeInterface(coder);
  if (auto name = coder.decodeString("imageName")) imageName = *name;
}

}  // namespace ZentrelSDK
