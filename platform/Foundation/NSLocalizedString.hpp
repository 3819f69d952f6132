#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

class Bundle;

// Swift `NSLocalizedString(_:tableName:bundle:value:comment:)`: the text for `key` in the
// bundle's table ("<table>.strings.json", a JSON object of texts by key; "Localizable" when
// no table is given), else `value` when it is not empty, else the key itself. A null bundle
// is the main one. Tables are read once. Any thread.
std::string NSLocalizedString(std::string_view key, std::optional<std::string_view> tableName,
                              const std::shared_ptr<Bundle>& bundle, std::string_view value,
                              std::string_view comment);
// The common form: no table, the main bundle, no value.
std::string NSLocalizedString(std::string_view key, std::string_view comment);

}  // namespace Foundation
