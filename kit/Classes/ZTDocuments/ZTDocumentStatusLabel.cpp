#include "ZTDocuments/ZTDocumentStatusLabel.hpp"

namespace ZentrelSDK {

UIKit::UIColor documentStatusColor(ZTPublicConstants::DocumentStatusType status) {
  using Status = ZTPublicConstants::DocumentStatusType;
  switch (status) {
    case Status::Draft:
      return {0.31, 0.34, 0.36, 1.0};
    case Status::Recognition:
    case Status::PendingReview:
      return {0.99, 0.48, 0.12, 1.0};
    case Status::NotReadable:
    case Status::NotVerified:
      return {0.85, 0.11, 0.16, 1.0};
    case Status::Verified:
      return {0.14, 0.63, 0.28, 1.0};
  }
  return UIKit::UIColor::black();
}

void showDocumentStatus(UIKit::UILabel& label, ZTPublicConstants::DocumentStatusType status) {
  label.setText(getLocalize(status));
  // A draft shows none and keeps the label's colour; the others show in theirs.
  const bool draft = status == ZTPublicConstants::DocumentStatusType::Draft;
  label.setHidden(draft);
  if (!draft) label.setTextColor(documentStatusColor(status));
}

}  // namespace ZentrelSDK
