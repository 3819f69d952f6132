#pragma once

#include <concepts>
#include <exception>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/Data.hpp>
#include <Foundation/DecodingError.hpp>
#include <Foundation/JSONCoding.hpp>
#include <Foundation/Result.hpp>

// Codable records of the kit: a plain struct with
//   void to_json(nlohmann::json&, const T&)                          (encoding, keys as declared)
//   static Foundation::Result<T, Foundation::DecodingError> decode(const nlohmann::json&)
// and, for use with nlohmann's get<T>(), a from_json that throws when decode fails.
// Decoding is strict: a missing required key or a wrong type fails the whole record; unknown
// keys are ignored. A record that only has from_json is decoded through it, any exception
// failing the record.

namespace ZentrelSDK {

namespace detail {

template <class T>
concept KitDecodable = requires(const nlohmann::json& j) {
  {
    Foundation::decodeValue<T>(j)
    } -> std::same_as<Foundation::Result<T, Foundation::DecodingError>>;
}
&&(Foundation::Decodable<T> || std::is_arithmetic_v<T> || std::is_same_v<T, std::string> ||
   std::is_same_v<T, nlohmann::json> || Foundation::detail::IsOptional<T>::value ||
   Foundation::detail::IsVector<T>::value || Foundation::detail::IsStringMap<T>::value);

template <class T>
concept FromJsonOnly =
    !KitDecodable<T> && std::default_initializable<T> && requires(const nlohmann::json& j, T& out) {
  from_json(j, out);
};

// Throwing form of a record's decode, for from_json.
template <class T>
void decodeOrThrow(const nlohmann::json& j, T& out) {
  auto result = T::decode(j);
  if (result.isFailure()) throw std::runtime_error(result.error().description());
  out = std::move(result).value();
}

}  // namespace detail

// Decodes an already converted JSON value strictly as T.
template <class T>
Foundation::Result<T, Foundation::DecodingError> decodeJSONValue(const nlohmann::json& value) {
  if constexpr (detail::KitDecodable<T>) {
    return Foundation::decodeValue<T>(value);
  } else {
    static_assert(detail::FromJsonOnly<T>, "decodeJSONValue: T has neither decode nor from_json");
    try {
      T out{};
      from_json(value, out);
      return Foundation::success(std::move(out));
    } catch (const nlohmann::json::out_of_range& e) {
      return Foundation::failure(Foundation::DecodingError::keyNotFound(e.what()));
    } catch (const nlohmann::json::type_error& e) {
      return Foundation::failure(Foundation::DecodingError::typeMismatch("value", e.what()));
    } catch (const std::exception& e) {
      return Foundation::failure(Foundation::DecodingError::dataCorrupted(e.what()));
    }
  }
}

// Swift `data.parse(type:)`: a fresh decoder per call that maps snake_case answer keys to the
// camelCase field names (created_at fills createdAt) and decodes T strictly.
template <class T>
Foundation::Result<T, Foundation::DecodingError> parse(Foundation::Bytes data) {
  auto json = Foundation::parseJSON(data);
  if (json.isFailure()) return Foundation::failure(std::move(json).error());
  auto converted = Foundation::convertingKeysFromSnakeCase(json.value());
  if (converted.isFailure()) return Foundation::failure(std::move(converted).error());
  return decodeJSONValue<T>(converted.value());
}

}  // namespace ZentrelSDK
