#pragma once

#include <optional>
#include <string>

#include <UIKit/UIColor.hpp>

#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// One row of the documents list: a required type and what the user's document of that type
// shows. Built afresh on every load of the list; cells only read it.
class Document {
 public:
  explicit Document(ZTPublicConstants::DocumentType documentType);
  virtual ~Document() = default;

  const std::optional<std::string>& id() const { return id_; }
  const std::string& status() const { return status_; }
  const UIKit::UIColor& statusColor() const { return statusColor_; }
  const std::optional<ZTPublicConstants::DocumentType>& documentType() const {
    return documentType_;
  }
  const std::optional<ZTPublicConstants::AreaType>& documentArea() const { return documentArea_; }

  virtual void updateStatus(std::string status);
  virtual void updateStatusColor(UIKit::UIColor color);
  virtual void setId(std::string id);
  virtual void setArea(ZTPublicConstants::AreaType area);

 private:
  std::optional<std::string> id_;
  std::string status_ = "Not uploaded yet";
  UIKit::UIColor statusColor_ = UIKit::UIColor::black();
  const std::optional<ZTPublicConstants::DocumentType> documentType_;
  std::optional<ZTPublicConstants::AreaType> documentArea_ = ZTPublicConstants::AreaType::Internal;
};

}  // namespace ZentrelSDK
