#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTCropModel.hpp"

#include <cmath>
#include <sstream>

#include "ZTLogger.hpp"

namespace ZentrelSDK {

CoreGraphics::CGRect ZTCropModel::calculateNewCropZone(CoreGraphics::CGSize size) const {
  const double wr = cropZone.size.width / imageRect.size.width;
  const double hr = cropZone.size.height / imageRect.size.height;
  const double width = size.height * hr;
  const double height = size.width * wr;
  const auto zone = CoreGraphics::CGRect::make((size.height - width) / 2, (size.width - height) / 2,
                                               width, height);
  std::ostringstream text;
  text << "new base: (" << size.width << ", " << size.height << "), \ncrop zone: (" << zone.origin.x
       << ", " << zone.origin.y << ", " << zone.size.width << ", " << zone.size.height << ")";
  ZTLogger::warningLog(text.str());
  if (!std::isfinite(zone.origin.x) || !std::isfinite(zone.origin.y) || !std::isfinite(width) ||
      !std::isfinite(height))
    return CoreGraphics::CGRect::null();
  return zone;
}

}  // namespace ZentrelSDK
