// The network environment as one transfer sees it when it starts. Private to the platform.
#pragma once

#include <curl/curl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/NetworkEnvironment.hpp"

namespace Foundation::Networking {

struct EnvironmentSnapshot {
  curl_slist* connectTo = nullptr;  // CURLOPT_CONNECT_TO entries
  std::optional<std::string> anchorsPem;
  std::shared_ptr<const std::function<void(const NetworkTrace&)>> trace;

  EnvironmentSnapshot() = default;
  EnvironmentSnapshot(const EnvironmentSnapshot&) = delete;
  EnvironmentSnapshot& operator=(const EnvironmentSnapshot&) = delete;
  ~EnvironmentSnapshot() { curl_slist_free_all(connectTo); }
};

std::shared_ptr<const EnvironmentSnapshot> currentEnvironment();

}  // namespace Foundation::Networking
