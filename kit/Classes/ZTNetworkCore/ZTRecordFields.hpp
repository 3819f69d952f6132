#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/JSONCoding.hpp>
#include <Foundation/Result.hpp>

#include "ZTExtensions/ZTDataExtension.hpp"

namespace ZentrelSDK {

// One field of a wire record: its key and where it lives. A record lists its fields once, in
// declaration order, and decodes and encodes through that list. An optional field may be
// absent or null when read and is left out when written empty.
template <class Record, class Member>
struct ZTRecordField {
  std::string_view key;
  Member Record::*member;
};
template <class Record, class Member>
ZTRecordField(std::string_view, Member Record::*) -> ZTRecordField<Record, Member>;

template <class E>
std::optional<E> fromRawValue(std::string_view text);

// A kit enum that travels as its text (rawValue / fromRawValue) without strict JSON decoding
// of its own: specialise with `static constexpr const char* name`, its name in error texts.
template <class E>
struct ZTTextEnumName;

namespace detail {

template <class T>
concept TextEnum = requires {
  ZTTextEnumName<T>::name;
};

// Read as a String-backed enum is: a String first (so a wrong type is a String mismatch),
// then only the enum's own texts.
template <class E>
struct TextEnumValue {
  static constexpr const char* swiftTypeName = "String";
  E value{};

  static Foundation::Result<TextEnumValue, Foundation::DecodingError> decode(
      const nlohmann::json& json) {
    auto text = Foundation::decodeValue<std::string>(json);
    if (text.isFailure()) return Foundation::failure(std::move(text).error());
    const auto value = fromRawValue<E>(text.value());
    if (!value)
      return Foundation::failure(Foundation::DecodingError::dataCorrupted(
          std::string("Cannot initialize ") + ZTTextEnumName<E>::name +
          " from invalid String value " + text.value()));
    return Foundation::success(TextEnumValue{*value});
  }
};

template <class T>
void decodeField(Foundation::KeyedDecodingContainer& container, std::string_view key, T& out) {
  if constexpr (Foundation::detail::IsOptional<T>::value) {
    container.decodeIfPresent(key, out);
  } else if constexpr (TextEnum<T>) {
    TextEnumValue<T> read;
    if (container.decode(key, read)) out = read.value;
  } else {
    container.decode(key, out);
  }
}

template <class Json, class T>
void encodeField(Json& json, std::string_view key, const T& value) {
  if constexpr (Foundation::detail::IsOptional<T>::value) {
    if (value) json[std::string(key)] = *value;
  } else if constexpr (TextEnum<T>) {
    json[std::string(key)] = rawValue(value);
  } else {
    json[std::string(key)] = value;
  }
}

}  // namespace detail

// Strict decoding, field by field in order; the first failure fails the whole record.
template <class Record, class... Members>
Foundation::Result<Record, Foundation::DecodingError> decodeRecord(
    const nlohmann::json& json, const std::tuple<ZTRecordField<Record, Members>...>& fields) {
  Foundation::KeyedDecodingContainer container(json);
  Record record{};
  std::apply(
      [&](const auto&... field) {
        (detail::decodeField(container, field.key, record.*field.member), ...);
      },
      fields);
  return container.finish(std::move(record));
}

// Every field under its key, in list order: an ordered_json keeps that order on the wire.
template <class Json, class Record, class... Members>
void encodeRecord(Json& json, const Record& record,
                  const std::tuple<ZTRecordField<Record, Members>...>& fields) {
  json = Json::object();
  std::apply(
      [&](const auto&... field) {
        (detail::encodeField(json, field.key, record.*field.member), ...);
      },
      fields);
}

}  // namespace ZentrelSDK

// Defines the three coding functions a wire record declares (decode, to_json and from_json)
// from its fields, listed once: field after field, or one tuple of them.
#define ZT_RECORD_CODING(Record, ...)                                   \
  Foundation::Result<Record, Foundation::DecodingError> Record::decode( \
      const nlohmann::json& json) {                                     \
    return ::ZentrelSDK::decodeRecord(json, std::tuple{__VA_ARGS__});   \
  }                                                                     \
  void to_json(nlohmann::json& json, const Record& value) {             \
    ::ZentrelSDK::encodeRecord(json, value, std::tuple{__VA_ARGS__});   \
  }                                                                     \
  void from_json(const nlohmann::json& json, Record& value) {           \
    ::ZentrelSDK::detail::decodeOrThrow(json, value);                   \
  }
