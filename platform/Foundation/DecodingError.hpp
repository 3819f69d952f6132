#pragma once

#include <optional>
#include <string>
#include <vector>

namespace Foundation {

// Swift's DecodingError: what failed, where (the coding path: keys, "Index N" for array
// elements) and Swift's debug text.
struct DecodingError {
  enum class Kind { TypeMismatch, ValueNotFound, KeyNotFound, DataCorrupted };

  Kind kind = Kind::DataCorrupted;
  std::vector<std::string> codingPath;
  std::string debugDescription;
  std::optional<std::string> key;  // the missing key of a KeyNotFound

  static DecodingError keyNotFound(std::string key, std::vector<std::string> codingPath = {});
  // `expectedType` in Swift's spelling ("String", "Int", "Dictionary<String, Any>").
  static DecodingError valueNotFound(const std::string& expectedType,
                                     std::vector<std::string> codingPath = {});
  // `found` in JSONDecoder's words: "a string", "number", "bool", "null", "a dictionary",
  // "an array".
  static DecodingError typeMismatch(const std::string& expectedType, const std::string& found,
                                    std::vector<std::string> codingPath = {});
  static DecodingError dataCorrupted(std::string debugDescription,
                                     std::vector<std::string> codingPath = {});

  // Foundation's localizedDescription: "The data couldn’t be read because it is missing."
  // (missing key or null value) or "... because it isn’t in the correct format." (otherwise).
  std::string localizedDescription() const;
  // E.g. `keyNotFound "id" at user.address: No value associated with key "id".`
  std::string description() const;

  // The same error one level down: `component` goes in front of the coding path.
  DecodingError nestedIn(std::string component) const&;
  DecodingError nestedIn(std::string component) &&;

  bool operator==(const DecodingError&) const = default;
};

}  // namespace Foundation
