#include "ZTCustomCameraView/ZTCaptureTime.hpp"

#include <charconv>

#include <Foundation/Date.hpp>

namespace ZentrelSDK {

std::string captureTimeText() {
  const double now = Foundation::Date::now().timeIntervalSince1970();
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, now, std::chars_format::fixed).ptr;
  std::string text(buffer, end);
  if (text.find('.') == std::string::npos) text += ".0";
  return text;
}

}  // namespace ZentrelSDK
