#pragma once

#include <UIKit/UILabel.hpp>

#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// The status line of a document's preview screens: the status's words in its colour; a draft
// shows none.
void showDocumentStatus(UIKit::UILabel& label, ZTPublicConstants::DocumentStatusType status);

}  // namespace ZentrelSDK
