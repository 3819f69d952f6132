#include "ZTDocuments/DocumentsList/Cell/Document.hpp"

#include <utility>

namespace ZentrelSDK {

Document::Document(ZTPublicConstants::DocumentType documentType) : documentType_(documentType) {}

void Document::updateStatus(std::string status) {
  status_ = std::move(status);
}

void Document::updateStatusColor(UIKit::UIColor color) {
  statusColor_ = color;
}

void Document::setId(std::string id) {
  id_ = std::move(id);
}

void Document::setArea(ZTPublicConstants::AreaType area) {
  documentArea_ = area;
}

}  // namespace ZentrelSDK
