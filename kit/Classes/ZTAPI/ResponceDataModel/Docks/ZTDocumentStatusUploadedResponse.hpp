#pragma once

#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include <Foundation/DecodingError.hpp>
#include <Foundation/Result.hpp>

namespace ZentrelSDK {

// The upload state of one side of a document; both texts are plain text.
struct Back {
  static constexpr const char* swiftTypeName = "Back";

  std::string status;
  std::string message;

  static Foundation::Result<Back, Foundation::DecodingError> decode(const nlohmann::json& json);
};

// The upload state of both sides of one document. (Named after the one document id the answer
// used to be read for.)
struct F1F80C7A57C742598E80D1Bb09932E82 {
  static constexpr const char* swiftTypeName = "F1F80C7A57C742598E80D1Bb09932E82";

  Back front;
  Back back;

  static Foundation::Result<F1F80C7A57C742598E80D1Bb09932E82, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

// The answer of the upload-status read: one member per document of the page, keyed by the
// document's id. Ids are taken as they come (they hold no underscore, so the snake_case key
// conversion leaves them alone).
struct ZTDocumentStatusUploadedResponse {
  static constexpr const char* swiftTypeName = "ZTDocumentStatusUploadedResponse";

  std::map<std::string, F1F80C7A57C742598E80D1Bb09932E82> documents;

  static Foundation::Result<ZTDocumentStatusUploadedResponse, Foundation::DecodingError> decode(
      const nlohmann::json& json);
};

void to_json(nlohmann::json& json, const Back& value);
void from_json(const nlohmann::json& json, Back& value);
void to_json(nlohmann::json& json, const F1F80C7A57C742598E80D1Bb09932E82& value);
void from_json(const nlohmann::json& json, F1F80C7A57C742598E80D1Bb09932E82& value);
void to_json(nlohmann::json& json, const ZTDocumentStatusUploadedResponse& value);
void from_json(const nlohmann::json& json, ZTDocumentStatusUploadedResponse& value);

}  // namespace ZentrelSDK
