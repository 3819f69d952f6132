#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Foundation/Result.hpp"

namespace CoreMedia {

using OSStatus = std::int32_t;
using FourCharCode = std::uint32_t;

inline constexpr OSStatus kCMFormatDescriptionError_InvalidParameter = -12710;
// "mebx": boxed metadata.
inline constexpr FourCharCode kCMMetadataFormatType_Boxed = 0x6D656278;
inline constexpr const char* kCMMetadataDataType_QuickTimeMetadataLocation_ISO6709 =
    "com.apple.metadata.datatype.QuickTimeMetadataLocation-ISO6709";

// One entry of a metadata format description: what the samples are and how they are typed.
struct CMMetadataSpecification {
  std::string identifier;
  std::string dataType;
  bool operator==(const CMMetadataSpecification&) const = default;
};

// Swift's CMFormatDescription of a metadata track. Immutable.
class CMFormatDescription {
 public:
  CMFormatDescription(FourCharCode subType, std::vector<CMMetadataSpecification> specifications)
      : subType_(subType), specifications_(std::move(specifications)) {}
  FourCharCode mediaSubType() const { return subType_; }
  const std::vector<CMMetadataSpecification>& specifications() const { return specifications_; }

 private:
  FourCharCode subType_;
  std::vector<CMMetadataSpecification> specifications_;
};

// Swift `CMMetadataFormatDescriptionCreateWithMetadataSpecifications`: the status comes back
// as the error value. Only the boxed format exists; no metadata item, or one without an
// identifier or data type, is an invalid parameter.
Foundation::Result<std::shared_ptr<const CMFormatDescription>, OSStatus>
CMMetadataFormatDescriptionCreateWithMetadataSpecifications(
    FourCharCode metadataType, const std::vector<CMMetadataSpecification>& specifications);

// Swift `CMClockGetHostTimeClock()`: the one host clock, an opaque token here.
class CMClock {
 public:
  static const std::shared_ptr<CMClock>& hostTimeClock();
};

}  // namespace CoreMedia
