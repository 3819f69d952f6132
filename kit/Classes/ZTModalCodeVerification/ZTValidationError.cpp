#include "ZTModalCodeVerification/ZTValidationError.hpp"

namespace ZentrelSDK {

std::string ZTValidationError::localizedDescription() const {
  return "The operation couldn\u2019t be completed. (ZentrelSDK.ZTValidationError error 0.)";
}

}  // namespace ZentrelSDK
