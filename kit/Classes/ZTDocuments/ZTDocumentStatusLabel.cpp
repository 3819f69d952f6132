#include "ZTDocuments/ZTDocumentStatusLabel.hpp"

namespace ZentrelSDK {

namespace {
constexpr UIKit::UIColor kWaiting{0.99, 0.48, 0.12, 1.0};
constexpr UIKit::UIColor kRejected{0.85, 0.11, 0.16, 1.0};
constexpr UIKit::UIColor kVerified{0.14, 0.63, 0.28, 1.0};
}  // namespace

void showDocumentStatus(UIKit::UILabel& label, ZTPublicConstants::DocumentStatusType status) {
  using Status = ZTPublicConstants::DocumentStatusType;
  label.setText(getLocalize(status));
  label.setHidden(false);
  switch (status) {
    case Status::Draft:
      label.setHidden(true);
      break;
    case Status::Recognition:
    case Status::PendingReview:
      label.setTextColor(kWaiting);
      break;
    case Status::NotReadable:
    case Status::NotVerified:
      label.setTextColor(kRejected);
      break;
    case Status::Verified:
      label.setTextColor(kVerified);
      break;
  }
}

}  // namespace ZentrelSDK
