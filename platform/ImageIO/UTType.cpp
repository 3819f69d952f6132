#include "ImageIO/UTType.hpp"

#include <algorithm>
#include <array>
#include <cctype>

namespace ImageIO {

namespace {
std::string lowercased(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}
}  // namespace

std::optional<std::string> UTTypeCreatePreferredIdentifierForTag(
    std::string_view tagClass, std::string_view tag, std::optional<std::string_view> conformingTo) {
  if (conformingTo && *conformingTo != kUTTypeImage && *conformingTo != kUTTypeJPEG)
    return std::nullopt;
  static constexpr std::array<std::string_view, 3> mimeTypes{"image/jpeg", "image/jpg",
                                                             "image/pjpeg"};
  static constexpr std::array<std::string_view, 3> extensions{"jpg", "jpeg", "jpe"};
  const std::string key = lowercased(tag);
  if (tagClass == kUTTagClassMIMEType) {
    if (std::find(mimeTypes.begin(), mimeTypes.end(), key) != mimeTypes.end()) return kUTTypeJPEG;
  } else if (tagClass == kUTTagClassFilenameExtension) {
    if (std::find(extensions.begin(), extensions.end(), key) != extensions.end())
      return kUTTypeJPEG;
  }
  return std::nullopt;
}

}  // namespace ImageIO
