#include "ZTEventChecker.hpp"

#include "ZTLogger.hpp"

namespace ZentrelSDK {

using EventType = ZTEventChecker::EventType;

EventType ZTEventChecker::fromURL(const Foundation::URLComponents& components) {
  const std::string path = components.path();
  const auto end = path.find_last_not_of('/');
  if (end == std::string::npos) {
    ZTLogger::errorLog("Can't parse path", __FILE__, "fromURL(components:)", __LINE__, 0);
    return EventType::none;
  }
  const auto slash = path.rfind('/', end);
  const auto begin = slash == std::string::npos ? 0 : slash + 1;
  const std::string_view last = std::string_view(path).substr(begin, end - begin + 1);
  for (auto type : allCases<EventType>()) {
    if (rawValue(type) == last) return type;
  }
  return EventType::none;
}

std::string rawValue(EventType type) {
  switch (type) {
    case EventType::token:
      return "token";
    case EventType::none:
      return "none";
  }
  return "";
}

template <>
std::optional<EventType> fromRawValue(std::string_view text) {
  for (auto type : allCases<EventType>()) {
    if (rawValue(type) == text) return type;
  }
  return std::nullopt;
}

template <>
const std::vector<EventType>& allCases() {
  static const auto* cases = new std::vector<EventType>{EventType::token, EventType::none};
  return *cases;
}

}  // namespace ZentrelSDK
