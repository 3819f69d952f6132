#pragma once

#include <cstdint>
#include <string>

#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// One document of the host-facing documents list.
struct ZTPublicDocumentElement {
  std::string id;
  std::int64_t createdAt = 0;
  ZTPublicConstants::DocumentStatusType status{};
  ZTPublicConstants::DocumentType documentType{};
};

}  // namespace ZentrelSDK
