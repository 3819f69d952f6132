#pragma once

namespace UIKit {

enum class NSTextAlignment { left = 0, center = 1, right = 2, justified = 3, natural = 4 };

}  // namespace UIKit
