#pragma once

#include <string>

namespace zttest {

// `levels` times `open`, then `inner`, then `levels` times `close`: "[[[1]]]" and the like.
inline std::string nestedJSON(int levels, const std::string& open, const std::string& inner,
                              const std::string& close) {
  std::string text;
  text.reserve(static_cast<std::size_t>(levels) * (open.size() + close.size()) + inner.size());
  for (int i = 0; i < levels; ++i) text += open;
  text += inner;
  for (int i = 0; i < levels; ++i) text += close;
  return text;
}

}  // namespace zttest
