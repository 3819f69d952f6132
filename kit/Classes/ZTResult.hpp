#pragma once

#include <optional>
#include <string>

namespace ZentrelSDK {

enum class ZTStatus { success, error };

// A small status record: outcome, error text and payload text.
class ZTResult {
 public:
  ZTResult(ZTStatus status, std::optional<std::string> errorDescription,
           std::optional<std::string> data);

  std::optional<ZTStatus> status;
  std::optional<std::string> errorDescription;
  std::optional<std::string> data;
};

}  // namespace ZentrelSDK
