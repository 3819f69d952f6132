#include "Foundation/NSLocalizedString.hpp"

#include <map>
#include <mutex>

#include <nlohmann/json.hpp>

#include "Foundation/Bundle.hpp"
#include "Foundation/Data.hpp"

namespace Foundation {

namespace {
using Table = std::map<std::string, std::string, std::less<>>;

Table readTable(const Bundle& bundle, const std::string& name) {
  Table table;
  const auto path = bundle.pathForResource(name, "strings.json");
  if (!path) return table;
  auto bytes = dataContentsOf(*path);
  if (!bytes.isSuccess()) return table;
  const auto json = nlohmann::json::parse(bytes.value(), nullptr, false);
  if (!json.is_object()) return table;
  for (const auto& [key, text] : json.items()) {
    if (text.is_string()) table.emplace(key, text.get<std::string>());
  }
  return table;
}
}  // namespace

std::string NSLocalizedString(std::string_view key, std::optional<std::string_view> tableName,
                              const std::shared_ptr<Bundle>& bundle, std::string_view value,
                              std::string_view /*comment*/) {
  static std::mutex mutex;
  static std::map<std::string, Table> tables;  // by bundle path and table name
  const auto& from = bundle ? bundle : Bundle::main();
  const std::string name(tableName.value_or("Localizable"));
  const std::string id = from->bundlePath() + "\n" + name;
  {
    std::lock_guard lock(mutex);
    auto it = tables.find(id);
    if (it == tables.end()) it = tables.emplace(id, readTable(*from, name)).first;
    if (auto found = it->second.find(key); found != it->second.end()) return found->second;
  }
  return std::string(value.empty() ? key : value);
}

std::string NSLocalizedString(std::string_view key, std::string_view comment) {
  return NSLocalizedString(key, std::nullopt, nullptr, "", comment);
}

}  // namespace Foundation
