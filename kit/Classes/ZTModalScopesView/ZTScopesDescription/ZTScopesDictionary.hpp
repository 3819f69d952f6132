#pragma once

#include <nlohmann/json.hpp>

namespace ZentrelSDK {

// The description tree of scope strings: one level per ":"-separated component; a node is a
// JSON object whose values are either a description (a string) or a further node. Built once,
// on first use, and never changed.
const nlohmann::json& scopesDictionary();

}  // namespace ZentrelSDK
