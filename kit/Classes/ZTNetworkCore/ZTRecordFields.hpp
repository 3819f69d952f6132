#pragma once

#include <string_view>
#include <tuple>
#include <utility>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/JSONCoding.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// One field of a wire record: its key and where it lives. A record lists its fields once, in
// declaration order, and decodes and encodes through that list.
template <class Record, class Member>
struct ZTRecordField {
  std::string_view key;
  Member Record::*member;
};

// Strict decoding, field by field in order; the first failure fails the whole record.
template <class Record, class... Members>
Foundation::Result<Record, Foundation::DecodingError> decodeRecord(
    const nlohmann::json& json, const std::tuple<ZTRecordField<Record, Members>...>& fields) {
  Foundation::KeyedDecodingContainer container(json);
  Record record{};
  std::apply(
      [&](const auto&... field) { (container.decode(field.key, record.*field.member), ...); },
      fields);
  return container.finish(std::move(record));
}

// Every field under its key.
template <class Record, class... Members>
void encodeRecord(nlohmann::json& json, const Record& record,
                  const std::tuple<ZTRecordField<Record, Members>...>& fields) {
  json = nlohmann::json::object();
  std::apply(
      [&](const auto&... field) { ((json[std::string(field.key)] = record.*field.member), ...); },
      fields);
}

}  // namespace ZentrelSDK
