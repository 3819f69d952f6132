#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ImageIO {

// Uniform type identifiers and tag classes, as the platform's constants.
inline constexpr const char* kUTTagClassMIMEType = "public.mime-type";
inline constexpr const char* kUTTagClassFilenameExtension = "public.filename-extension";
inline constexpr const char* kUTTypeImage = "public.image";
inline constexpr const char* kUTTypeJPEG = "public.jpeg";

// Swift `UTTypeCreatePreferredIdentifierForTag`: the JPEG type for its MIME types ("image/jpeg"
// and the common "image/jpg") and extensions, when it conforms to `conformingTo` (the image
// type or none); nullopt for any other tag.
std::optional<std::string> UTTypeCreatePreferredIdentifierForTag(
    std::string_view tagClass, std::string_view tag,
    std::optional<std::string_view> conformingTo = std::nullopt);

}  // namespace ImageIO
