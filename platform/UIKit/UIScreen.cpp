#include "UIKit/UIScreen.hpp"

namespace UIKit {

UIScreen& UIScreen::main() {
  static UIScreen screen;
  return screen;
}

}  // namespace UIKit
