// How transport failures reach the caller: NSURLError codes. Private to the platform.
#pragma once

#include <curl/curl.h>

#include <optional>

#include "Foundation/NSError.hpp"
#include "Foundation/URLRequest.hpp"

namespace Foundation::Networking {

// The NSURLError code for a libcurl failure.
int urlErrorCode(CURLcode code);

// nullopt when the request may be loaded; else why not.
std::optional<NSError> checkLoadable(const URLRequest& request);

}  // namespace Foundation::Networking
