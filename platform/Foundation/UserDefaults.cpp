#include "Foundation/UserDefaults.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>

#include "Foundation/FileManager.hpp"

namespace Foundation {

namespace {

// Data is kept in the file as {"$data": "<base64>"}: no other value is an object.
constexpr const char* kDataKey = "$data";

std::string standardPath() {
  return (std::filesystem::path(FileManager::defaultManager().applicationDataDirectory()) /
          "UserDefaults.json")
      .string();
}

std::string lowercase(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::optional<double> numberFromString(const std::string& s) {
  double d = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return d;
}

}  // namespace

UserDefaults& UserDefaults::standard() {
  static UserDefaults defaults(standardPath());
  return defaults;
}

void UserDefaults::resetStandardUserDefaults() {
  auto& defaults = standard();
  const auto path = standardPath();
  std::lock_guard lock(defaults.mutex_);
  if (defaults.dirty_) defaults.writeLocked();
  defaults.path_ = path;
  defaults.load();
}

UserDefaults::UserDefaults(std::string filePath) : path_(std::move(filePath)) {
  std::lock_guard lock(mutex_);
  load();
}

void UserDefaults::load() {
  values_ = nlohmann::json::object();
  dirty_ = false;
  auto bytes = dataContentsOf(path_);
  if (bytes.isFailure()) return;
  auto parsed = nlohmann::json::parse(bytes.value().begin(), bytes.value().end(), nullptr, false);
  if (!parsed.is_object()) return;
  for (auto& [key, value] : parsed.items()) {
    if (value.is_object()) {
      const auto it = value.find(kDataKey);
      if (it == value.end() || !it->is_string()) continue;
      auto decoded = base64Decoded(it->get<std::string>());
      if (!decoded) continue;
      values_[key] = nlohmann::json::binary(std::move(*decoded));
    } else if (value.is_string() || value.is_boolean() || value.is_number()) {
      values_[key] = std::move(value);
    }
  }
}

bool UserDefaults::writeLocked() {
  nlohmann::json out = nlohmann::json::object();
  for (const auto& [key, value] : values_.items()) {
    if (value.is_binary()) {
      out[key] = {{kDataKey, base64EncodedString(value.get_binary())}};
    } else {
      out[key] = value;
    }
  }
  // Text that is not UTF-8 is written with replacement characters rather than failing.
  const auto text = out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
  std::error_code ec;
  const auto folder = std::filesystem::path(path_).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  dirty_ = writeData(Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), path_)
               .isFailure();
  return !dirty_;
}

void UserDefaults::store(std::string_view key, nlohmann::json value) {
  std::lock_guard lock(mutex_);
  if (value.is_null()) {
    values_.erase(std::string(key));
  } else {
    values_[std::string(key)] = std::move(value);
  }
  writeLocked();
}

std::optional<nlohmann::json> UserDefaults::valueLocked(std::string_view key) const {
  const auto it = values_.find(std::string(key));
  if (it == values_.end()) return std::nullopt;
  return *it;
}

void UserDefaults::set(std::string_view value, std::string_view forKey) {
  store(forKey, std::string(value));
}
void UserDefaults::set(bool value, std::string_view forKey) {
  store(forKey, value);
}
void UserDefaults::set(double value, std::string_view forKey) {
  // JSON has no NaN or infinity; keep the key absent rather than write an unreadable file.
  store(forKey, std::isfinite(value) ? nlohmann::json(value) : nlohmann::json());
}
void UserDefaults::set(const Data& value, std::string_view forKey) {
  store(forKey, nlohmann::json::binary(value));
}
void UserDefaults::set(std::int64_t value, std::string_view forKey) {
  store(forKey, value);
}
void UserDefaults::removeObject(std::string_view forKey) {
  store(forKey, nlohmann::json());
}

std::optional<std::string> UserDefaults::string(std::string_view forKey) const {
  std::lock_guard lock(mutex_);
  const auto v = valueLocked(forKey);
  if (!v) return std::nullopt;
  if (v->is_string()) return v->get<std::string>();
  if (v->is_number()) return v->dump();
  return std::nullopt;
}

bool UserDefaults::boolValue(std::string_view forKey) const {
  std::lock_guard lock(mutex_);
  const auto v = valueLocked(forKey);
  if (!v) return false;
  if (v->is_boolean()) return v->get<bool>();
  if (v->is_number()) return v->get<double>() != 0;
  if (v->is_string()) {
    const auto s = lowercase(v->get<std::string>());
    if (s == "yes" || s == "true") return true;
    const auto n = numberFromString(s);
    return n && *n != 0;
  }
  return false;
}

std::int64_t UserDefaults::integer(std::string_view forKey) const {
  std::lock_guard lock(mutex_);
  const auto v = valueLocked(forKey);
  if (!v) return 0;
  if (v->is_number_integer()) return v->get<std::int64_t>();
  std::optional<double> d;
  if (v->is_boolean()) return v->get<bool>() ? 1 : 0;
  if (v->is_number()) d = v->get<double>();
  if (v->is_string()) d = numberFromString(v->get<std::string>());
  // Truncated as NSNumber's integerValue; out of range gives 0 rather than undefined behaviour.
  if (!d || !(*d > -9.2233720368547758e18 && *d < 9.2233720368547758e18)) return 0;
  return static_cast<std::int64_t>(*d);
}

double UserDefaults::doubleValue(std::string_view forKey) const {
  std::lock_guard lock(mutex_);
  const auto v = valueLocked(forKey);
  if (!v) return 0;
  if (v->is_number()) return v->get<double>();
  if (v->is_boolean()) return v->get<bool>() ? 1 : 0;
  if (v->is_string()) return numberFromString(v->get<std::string>()).value_or(0);
  return 0;
}

std::optional<Data> UserDefaults::data(std::string_view forKey) const {
  std::lock_guard lock(mutex_);
  const auto v = valueLocked(forKey);
  if (!v || !v->is_binary()) return std::nullopt;
  return Data(v->get_binary().begin(), v->get_binary().end());
}

bool UserDefaults::contains(std::string_view forKey) const {
  std::lock_guard lock(mutex_);
  return valueLocked(forKey).has_value();
}

bool UserDefaults::synchronize() {
  std::lock_guard lock(mutex_);
  return !dirty_ || writeLocked();
}

}  // namespace Foundation
