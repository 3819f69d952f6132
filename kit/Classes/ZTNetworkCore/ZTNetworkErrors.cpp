#include "ZTNetworkCore/ZTNetworkErrors.hpp"

namespace ZentrelSDK {

std::string ZTNetworkError::description() const {
  switch (kind_) {
    case Case::statusCodeIsNot200:
      return "answer has not status code = 200 (" + std::to_string(otherCode_.value_or(0)) + ")";
    case Case::wrongURL:
      return "wrong url";
    case Case::cannotEncodeParameters:
      return "problem with encoding parameters";
    case Case::responseIsNil:
      return "there is no response";
    case Case::cannotEncodeBody:
      return "problem with encoding answer";
    case Case::decodingError:
      return "cannot decode answer";
    case Case::errorWhileDecoding:
      return "error while decoding";
    case Case::unauthorized:
      return "unauthorized";
    case Case::dataIsEmpty:
      return "loaded data is empty";
    case Case::noRedirectManager:
      return "redirect manager did not set";
  }
  return {};
}

}  // namespace ZentrelSDK
