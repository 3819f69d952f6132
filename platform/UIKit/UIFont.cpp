#include "UIKit/UIFont.hpp"

namespace UIKit {

UIFont UIFont::systemFont(CGFloat size, CGFloat weight) {
  return {".SFUI", size, weight};
}

}  // namespace UIKit
