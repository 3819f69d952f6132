#include "CoreMedia/CMFormatDescription.hpp"

namespace CoreMedia {

Foundation::Result<std::shared_ptr<const CMFormatDescription>, OSStatus>
CMMetadataFormatDescriptionCreateWithMetadataSpecifications(
    FourCharCode metadataType, const std::vector<CMMetadataSpecification>& specifications) {
  if (metadataType != kCMMetadataFormatType_Boxed || specifications.empty())
    return Foundation::failure(kCMFormatDescriptionError_InvalidParameter);
  for (const auto& item : specifications) {
    if (item.identifier.empty() || item.dataType.empty())
      return Foundation::failure(kCMFormatDescriptionError_InvalidParameter);
  }
  return Foundation::success(
      std::make_shared<const CMFormatDescription>(metadataType, specifications));
}

const std::shared_ptr<CMClock>& CMClock::hostTimeClock() {
  static const auto clock = std::make_shared<CMClock>();
  return clock;
}

}  // namespace CoreMedia
