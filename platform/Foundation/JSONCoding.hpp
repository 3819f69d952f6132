#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "Foundation/Data.hpp"
#include "Foundation/DecodingError.hpp"
#include "Foundation/Result.hpp"

namespace Foundation {

// JSONDecoder's keyDecodingStrategy.
enum class KeyDecodingStrategy { UseDefaultKeys, ConvertFromSnakeCase };

// Swift's convertFromSnakeCase rule: leading and trailing underscores are kept; the rest is
// split on "_" (empty parts dropped); with one part the key is left as is, otherwise the
// first part is lower-cased and each later part capitalized (first letter upper, the rest
// lower): "a_b_c" -> "aBC", "ALL_CAPS" -> "allCaps", "__x_y__" -> "__xY__". Case mapping
// is ASCII-only; other bytes pass unchanged.
std::string convertFromSnakeCase(std::string_view key);
// How deeply arrays and objects may nest in decoded JSON, as in JSONSerialization. Parsing
// refuses deeper text, and every recursive walk of a JSON value stops there, so no input can
// exhaust the stack.
inline constexpr int kMaxJSONDepth = 512;

// The rule applied to every object key at every depth, as JSONDecoder does (dictionary keys
// included). On a clash the first key in the object's key order wins. A value nested deeper
// than kMaxJSONDepth is dataCorrupted, as text that does not parse.
Result<nlohmann::json, DecodingError> convertingKeysFromSnakeCase(const nlohmann::json& value);

// Parses JSON text; invalid JSON (or invalid UTF-8 in it), or nesting deeper than
// kMaxJSONDepth, is dataCorrupted.
Result<nlohmann::json, DecodingError> parseJSON(std::string_view text);
Result<nlohmann::json, DecodingError> parseJSON(Bytes data);

// JSONDecoder's words for what it found: "a string", "number", "bool", "null",
// "a dictionary", "an array".
std::string jsonTypeDescription(const nlohmann::json& value);

// A record decodes itself: `static Result<T, DecodingError> decode(const nlohmann::json&)`.
// It may name itself for error texts with `static constexpr const char* swiftTypeName`.
template <class T>
concept Decodable = requires(const nlohmann::json& j) {
  { T::decode(j) } -> std::same_as<Result<T, DecodingError>>;
};

// An enum with raw text values (Swift's String-backed RawRepresentable) codes as its text:
// specialise RawTextCoding<E> with `static std::optional<E> fromRawValue(std::string_view)`.
template <class E>
struct RawTextCoding;
template <class T>
concept RawTextDecodable = std::is_enum_v<T> && requires(std::string_view text) {
  { RawTextCoding<T>::fromRawValue(text) } -> std::same_as<std::optional<T>>;
};

namespace detail {
template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};
template <class T>
struct IsVector : std::false_type {};
template <class T, class A>
struct IsVector<std::vector<T, A>> : std::true_type {};
template <class T>
struct IsStringMap : std::false_type {};
template <class T, class C, class A>
struct IsStringMap<std::map<std::string, T, C, A>> : std::true_type {};
template <class>
inline constexpr bool kUnsupported = false;
}  // namespace detail

// The Swift name of T for error texts ("Int", "String", "Array<Int>", ...).
template <class T>
std::string swiftTypeName() {
  if constexpr (std::is_same_v<T, bool>) {
    return "Bool";
  } else if constexpr (std::is_integral_v<T>) {
    const std::string base = std::is_signed_v<T> ? "Int" : "UInt";
    return sizeof(T) == 8 ? base : base + std::to_string(sizeof(T) * 8);
  } else if constexpr (std::is_same_v<T, double>) {
    return "Double";
  } else if constexpr (std::is_same_v<T, float>) {
    return "Float";
  } else if constexpr (std::is_same_v<T, std::string>) {
    return "String";
  } else if constexpr (std::is_same_v<T, nlohmann::json>) {
    return "Any";
  } else if constexpr (detail::IsOptional<T>::value) {
    return "Optional<" + swiftTypeName<typename T::value_type>() + ">";
  } else if constexpr (detail::IsVector<T>::value) {
    return "Array<" + swiftTypeName<typename T::value_type>() + ">";
  } else if constexpr (detail::IsStringMap<T>::value) {
    return "Dictionary<String, " + swiftTypeName<typename T::mapped_type>() + ">";
  } else if constexpr (requires { T::swiftTypeName; }) {
    return T::swiftTypeName;
  } else if constexpr (requires { RawTextCoding<T>::swiftTypeName; }) {
    return RawTextCoding<T>::swiftTypeName;
  } else {
    return "Dictionary<String, Any>";
  }
}

// Strict decoding of one JSON value as T, as JSONDecoder does it:
// - bool: only true/false; integers: only whole numbers that fit T (5.0 is 5, 1.5 or 2^63 is
//   dataCorrupted); floating point: any number; std::string: only strings;
// - null is valueNotFound, except for std::optional<U> (nullopt) and nlohmann::json (any);
// - std::vector<U>, std::map<std::string, U>, and Decodable records, element by element.
template <class T>
Result<T, DecodingError> decodeValue(const nlohmann::json& value) {
  if constexpr (std::is_same_v<T, nlohmann::json>) {
    return success(value);
  } else if constexpr (detail::IsOptional<T>::value) {
    if (value.is_null()) return success(T());
    auto inner = decodeValue<typename T::value_type>(value);
    if (inner.isFailure()) return failure(std::move(inner).error());
    return success(T(std::move(inner).value()));
  } else {
    if (value.is_null()) return failure(DecodingError::valueNotFound(swiftTypeName<T>()));
    const auto mismatch = [&] {
      return failure(DecodingError::typeMismatch(swiftTypeName<T>(), jsonTypeDescription(value)));
    };
    if constexpr (std::is_same_v<T, bool>) {
      if (!value.is_boolean()) return mismatch();
      return success(value.get<bool>());
    } else if constexpr (std::is_integral_v<T>) {
      const auto tooBig = [&] {
        return failure(DecodingError::dataCorrupted("Parsed JSON number <" + value.dump() +
                                                    "> does not fit in " + swiftTypeName<T>() +
                                                    "."));
      };
      if (value.is_number_unsigned()) {
        const auto n = value.get<std::uint64_t>();
        if (!std::in_range<T>(n)) return tooBig();
        return success(static_cast<T>(n));
      }
      if (value.is_number_integer()) {
        const auto n = value.get<std::int64_t>();
        if (!std::in_range<T>(n)) return tooBig();
        return success(static_cast<T>(n));
      }
      if (value.is_number_float()) {
        const double d = value.get<double>();
        // [min, max + 1) computed without rounding max up into range.
        const double lower = static_cast<double>(std::numeric_limits<T>::min());
        const double upper = 2.0 * static_cast<double>(std::numeric_limits<T>::max() / 2 + 1);
        if (!std::isfinite(d) || d != std::trunc(d) || d < lower || d >= upper) return tooBig();
        return success(static_cast<T>(d));
      }
      return mismatch();
    } else if constexpr (std::is_floating_point_v<T>) {
      if (!value.is_number()) return mismatch();
      const double d = value.get<double>();
      if (std::fabs(d) > static_cast<double>(std::numeric_limits<T>::max()))
        return failure(DecodingError::dataCorrupted("Parsed JSON number <" + value.dump() +
                                                    "> does not fit in " + swiftTypeName<T>() +
                                                    "."));
      return success(static_cast<T>(d));
    } else if constexpr (std::is_same_v<T, std::string>) {
      if (!value.is_string()) return mismatch();
      return success(value.get<std::string>());
    } else if constexpr (detail::IsVector<T>::value) {
      if (!value.is_array()) return mismatch();
      T out;
      out.reserve(value.size());
      for (std::size_t i = 0; i < value.size(); ++i) {
        auto element = decodeValue<typename T::value_type>(value[i]);
        if (element.isFailure())
          return failure(std::move(element).error().nestedIn("Index " + std::to_string(i)));
        out.push_back(std::move(element).value());
      }
      return success(std::move(out));
    } else if constexpr (detail::IsStringMap<T>::value) {
      if (!value.is_object()) return mismatch();
      T out;
      for (const auto& [key, item] : value.items()) {
        auto element = decodeValue<typename T::mapped_type>(item);
        if (element.isFailure()) return failure(std::move(element).error().nestedIn(key));
        out.emplace(key, std::move(element).value());
      }
      return success(std::move(out));
    } else if constexpr (RawTextDecodable<T>) {
      if (!value.is_string()) return mismatch();
      const auto& text = value.get_ref<const std::string&>();
      auto decoded = RawTextCoding<T>::fromRawValue(text);
      if (!decoded)
        return failure(DecodingError::dataCorrupted("Cannot initialize " + swiftTypeName<T>() +
                                                    " from invalid String value " + text));
      return success(*decoded);
    } else if constexpr (Decodable<T>) {
      return T::decode(value);
    } else {
      static_assert(detail::kUnsupported<T>, "decodeValue: unsupported type");
    }
  }
}

// Swift `container.decode(T.self, forKey:)`: keyNotFound for a missing key, valueNotFound for
// null (unless T is optional), else as decodeValue; the key joins the error's coding path.
template <class T>
Result<T, DecodingError> require(const nlohmann::json& object, std::string_view key) {
  if (!object.is_object())
    return failure(
        DecodingError::typeMismatch("Dictionary<String, Any>", jsonTypeDescription(object)));
  const auto it = object.find(key);
  if (it == object.end()) return failure(DecodingError::keyNotFound(std::string(key)));
  auto result = decodeValue<T>(*it);
  if (result.isFailure()) return failure(std::move(result).error().nestedIn(std::string(key)));
  return result;
}

// Swift `container.decodeIfPresent(T.self, forKey:)`: nullopt for a missing key or null; a
// value of the wrong type still fails.
template <class T>
Result<std::optional<T>, DecodingError> decodeIfPresent(const nlohmann::json& object,
                                                        std::string_view key) {
  if (!object.is_object())
    return failure(
        DecodingError::typeMismatch("Dictionary<String, Any>", jsonTypeDescription(object)));
  const auto it = object.find(key);
  if (it == object.end() || it->is_null()) return success(std::optional<T>());
  auto result = decodeValue<T>(*it);
  if (result.isFailure()) return failure(std::move(result).error().nestedIn(std::string(key)));
  return success(std::optional<T>(std::move(result).value()));
}

// Swift `JSONDecoder().decode(T.self, from: data)` with the given key strategy.
template <class T>
Result<T, DecodingError> decode(
    std::string_view text, KeyDecodingStrategy strategy = KeyDecodingStrategy::UseDefaultKeys) {
  auto json = parseJSON(text);
  if (json.isFailure()) return failure(std::move(json).error());
  if (strategy == KeyDecodingStrategy::ConvertFromSnakeCase) {
    auto converted = convertingKeysFromSnakeCase(json.value());
    if (converted.isFailure()) return failure(std::move(converted).error());
    return decodeValue<T>(converted.value());
  }
  return decodeValue<T>(json.value());
}
template <class T>
Result<T, DecodingError> decode(
    Bytes data, KeyDecodingStrategy strategy = KeyDecodingStrategy::UseDefaultKeys) {
  return decode<T>(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()),
                   strategy);
}

// Reads a record's keys and keeps the first failure, so a decode() reads straight through:
//
//   static Result<User, DecodingError> decode(const nlohmann::json& j) {
//     KeyedDecodingContainer c(j);
//     User u;
//     c.decode("id", u.id);
//     c.decodeIfPresent("nickname", u.nickname);
//     return c.finish(std::move(u));
//   }
//
// The JSON value must outlive the container.
class KeyedDecodingContainer {
 public:
  explicit KeyedDecodingContainer(const nlohmann::json& object);

  bool contains(std::string_view key) const;
  // False (and `out` untouched) on failure or after an earlier one.
  template <class T>
  bool decode(std::string_view key, T& out) {
    if (error_) return false;
    auto result = require<T>(*object_, key);
    if (result.isFailure()) {
      error_ = std::move(result).error();
      return false;
    }
    out = std::move(result).value();
    return true;
  }
  template <class T>
  bool decodeIfPresent(std::string_view key, std::optional<T>& out) {
    if (error_) return false;
    auto result = Foundation::decodeIfPresent<T>(*object_, key);
    if (result.isFailure()) {
      error_ = std::move(result).error();
      return false;
    }
    out = std::move(result).value();
    return true;
  }

  const std::optional<DecodingError>& error() const { return error_; }
  // The record, or the first failure.
  template <class T>
  Result<T, DecodingError> finish(T value) const {
    if (error_) return failure(*error_);
    return success(std::move(value));
  }

 private:
  const nlohmann::json* object_;
  std::optional<DecodingError> error_;
};

}  // namespace Foundation
