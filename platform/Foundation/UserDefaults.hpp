#pragma once

#include <concepts>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "Foundation/Data.hpp"

namespace Foundation {

// Swift's UserDefaults: a key-value store persisted as JSON in a file. Every change is
// written through at once (atomically), so nothing is lost if the process ends. Thread-safe.
// Two instances on one file do not see each other's later changes (as two suites would not).
class UserDefaults {
 public:
  // Swift `UserDefaults.standard`: <app data>/UserDefaults.json.
  static UserDefaults& standard();
  // Swift `UserDefaults.resetStandardUserDefaults()`: the standard store reloads from the
  // app data folder as it is now (after FileManager::setApplicationDataDirectory).
  static void resetStandardUserDefaults();

  // A store on the given file, loaded now; a missing or unreadable file is an empty store.
  explicit UserDefaults(std::string filePath);
  UserDefaults(const UserDefaults&) = delete;
  UserDefaults& operator=(const UserDefaults&) = delete;

  // Swift `set(_:forKey:)`, value first.
  void set(std::string_view value, std::string_view forKey);
  // A null text removes the key, as Swift's `set(nil, forKey:)`.
  void set(const char* value, std::string_view forKey) {
    value ? set(std::string_view(value), forKey) : removeObject(forKey);
  }
  void set(bool value, std::string_view forKey);
  void set(double value, std::string_view forKey);
  void set(const Data& value, std::string_view forKey);
  void set(std::int64_t value, std::string_view forKey);
  template <std::integral I>
  requires(!std::same_as<I, bool> &&
           !std::same_as<I, std::int64_t>) void set(I value, std::string_view forKey) {
    set(static_cast<std::int64_t>(value), forKey);
  }
  void removeObject(std::string_view forKey);

  // Swift's getters, with Foundation's conversions: a number reads as a string in text form,
  // a string "12" / "YES" reads as an integer / a Boolean; absent or unconvertible gives
  // nullopt, 0 or false. bool/double are keywords, hence boolValue and doubleValue.
  std::optional<std::string> string(std::string_view forKey) const;
  bool boolValue(std::string_view forKey) const;
  std::int64_t integer(std::string_view forKey) const;
  double doubleValue(std::string_view forKey) const;
  std::optional<Data> data(std::string_view forKey) const;
  // Swift `object(forKey:) != nil`.
  bool contains(std::string_view forKey) const;

  // Writes the store if an earlier write failed; false while it still cannot be written.
  bool synchronize();
  const std::string& filePath() const { return path_; }

 private:
  void load();
  void store(std::string_view key, nlohmann::json value);
  bool writeLocked();
  std::optional<nlohmann::json> valueLocked(std::string_view key) const;

  mutable std::mutex mutex_;
  std::string path_;
  nlohmann::json values_ = nlohmann::json::object();
  bool dirty_ = false;
};

}  // namespace Foundation
