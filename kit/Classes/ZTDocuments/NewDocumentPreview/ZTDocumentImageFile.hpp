#pragma once

#include <memory>
#include <optional>

#include <Foundation/URL.hpp>
#include <UIKit/UIImage.hpp>

namespace ZentrelSDK {

// The picture of a photo file in the cache folder; null for no URL, an unreadable file or
// bytes that are not an image. Stands where the photo processor's createImageFrom(url:)
// goes once it exists.
std::shared_ptr<UIKit::UIImage> documentImageFrom(const std::optional<Foundation::URL>& url);

}  // namespace ZentrelSDK
