#include "ZTResult.hpp"

#include <utility>

namespace ZentrelSDK {

ZTResult::ZTResult(ZTStatus status, std::optional<std::string> errorDescription,
                   std::optional<std::string> data)
    : status(status), errorDescription(std::move(errorDescription)), data(std::move(data)) {}

}  // namespace ZentrelSDK
