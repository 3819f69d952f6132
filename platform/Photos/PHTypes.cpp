#include "Photos/PHTypes.hpp"

namespace Photos {

Foundation::NSError photosError(int code, const std::string& description) {
  return Foundation::NSError(PHPhotosErrorDomain, code,
                             {{Foundation::NSLocalizedDescriptionKey, description}});
}

}  // namespace Photos
