#include "AVFoundation/AVTypes.hpp"

namespace AVFoundation {

int exifOrientation(AVCaptureVideoOrientation orientation) {
  switch (orientation) {
    case AVCaptureVideoOrientation::portrait:
      return 6;
    case AVCaptureVideoOrientation::portraitUpsideDown:
      return 8;
    case AVCaptureVideoOrientation::landscapeRight:
      return 1;
    case AVCaptureVideoOrientation::landscapeLeft:
      return 3;
  }
  return 1;
}

Foundation::NSError avError(int code, const std::string& description) {
  return Foundation::NSError(AVFoundationErrorDomain, code,
                             {{Foundation::NSLocalizedDescriptionKey, description}});
}

}  // namespace AVFoundation
