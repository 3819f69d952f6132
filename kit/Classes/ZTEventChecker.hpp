#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <Foundation/URLComponents.hpp>

namespace ZentrelSDK {

// Tells a host app what kind of kit event a URL stands for, by the last segment of its path.
struct ZTEventChecker {
  enum class EventType { token, none };

  // `token` when the path's last non-empty segment is exactly "token"; `none` otherwise. An
  // empty path is logged as an error and gives `none`.
  static EventType fromURL(const Foundation::URLComponents& components);
};

template <class E>
std::optional<E> fromRawValue(std::string_view text);
template <class E>
const std::vector<E>& allCases();

std::string rawValue(ZTEventChecker::EventType type);
template <>
std::optional<ZTEventChecker::EventType> fromRawValue(std::string_view text);
// token, none.
template <>
const std::vector<ZTEventChecker::EventType>& allCases();

}  // namespace ZentrelSDK
