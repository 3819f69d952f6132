#pragma once

namespace UIKit {

// The platform's raw values.
enum class UIKeyboardType : int {
  defaultType = 0,  // Swift `.default`
  asciiCapable = 1,
  numbersAndPunctuation = 2,
  URL = 3,
  numberPad = 4,
  phonePad = 5,
  namePhonePad = 6,
  emailAddress = 7,
  decimalPad = 8,
  twitter = 9,
  webSearch = 10,
  asciiCapableNumberPad = 11,
};

}  // namespace UIKit
