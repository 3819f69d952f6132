#include "Foundation/DecodingError.hpp"

namespace Foundation {

DecodingError DecodingError::keyNotFound(std::string key, std::vector<std::string> codingPath) {
  DecodingError e;
  e.kind = Kind::KeyNotFound;
  e.codingPath = std::move(codingPath);
  e.debugDescription = "No value associated with key \"" + key + "\".";
  e.key = std::move(key);
  return e;
}

DecodingError DecodingError::valueNotFound(const std::string& expectedType,
                                           std::vector<std::string> codingPath) {
  DecodingError e;
  e.kind = Kind::ValueNotFound;
  e.codingPath = std::move(codingPath);
  e.debugDescription = "Expected " + expectedType + " value but found null instead.";
  return e;
}

DecodingError DecodingError::typeMismatch(const std::string& expectedType, const std::string& found,
                                          std::vector<std::string> codingPath) {
  DecodingError e;
  e.kind = Kind::TypeMismatch;
  e.codingPath = std::move(codingPath);
  e.debugDescription = "Expected to decode " + expectedType + " but found " + found + " instead.";
  return e;
}

DecodingError DecodingError::dataCorrupted(std::string debugDescription,
                                           std::vector<std::string> codingPath) {
  DecodingError e;
  e.kind = Kind::DataCorrupted;
  e.codingPath = std::move(codingPath);
  e.debugDescription = std::move(debugDescription);
  return e;
}

std::string DecodingError::localizedDescription() const {
  switch (kind) {
    case Kind::KeyNotFound:
    case Kind::ValueNotFound:
      return "The data couldn\u2019t be read because it is missing.";
    case Kind::TypeMismatch:
    case Kind::DataCorrupted:
      break;
  }
  return "The data couldn\u2019t be read because it isn\u2019t in the correct format.";
}

std::string DecodingError::description() const {
  std::string text;
  switch (kind) {
    case Kind::TypeMismatch:
      text = "typeMismatch";
      break;
    case Kind::ValueNotFound:
      text = "valueNotFound";
      break;
    case Kind::KeyNotFound:
      text = "keyNotFound \"" + key.value_or("") + "\"";
      break;
    case Kind::DataCorrupted:
      text = "dataCorrupted";
      break;
  }
  if (!codingPath.empty()) {
    text += " at ";
    for (std::size_t i = 0; i < codingPath.size(); ++i) {
      if (i > 0) text += '.';
      text += codingPath[i];
    }
  }
  return text + ": " + debugDescription;
}

DecodingError DecodingError::nestedIn(std::string component) const& {
  DecodingError copy = *this;
  return std::move(copy).nestedIn(std::move(component));
}

DecodingError DecodingError::nestedIn(std::string component) && {
  codingPath.insert(codingPath.begin(), std::move(component));
  return std::move(*this);
}

}  // namespace Foundation
