#pragma once

#include <UIKit/UIColor.hpp>
#include <UIKit/UILabel.hpp>

#include "ZTUtilites/ZTPublicConstants.hpp"

namespace ZentrelSDK {

// The colour a document status is written in, on the list and on the preview screens.
UIKit::UIColor documentStatusColor(ZTPublicConstants::DocumentStatusType status);

// The status line of a document's preview screens: the status's words in its colour; a draft
// shows none.
void showDocumentStatus(UIKit::UILabel& label, ZTPublicConstants::DocumentStatusType status);

}  // namespace ZentrelSDK
