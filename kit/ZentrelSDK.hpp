#pragma once

// Everything a host app needs of the kit.

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTCustomCameraView/ZTCameraData/MediaType.hpp"
#include "ZTCustomCameraView/ZTCameraData/ZTCameraData.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTCropModel.hpp"
#include "ZTEventChecker.hpp"
#include "ZTEventCore.hpp"
#include "ZTEvents.hpp"
#include "ZTEventsRegistration.hpp"
#include "ZTExtensions/ZTCollectionExtension.hpp"
#include "ZTExtensions/ZTURLExtension.hpp"
#include "ZTLogger.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"
#include "ZTUtilites/ZTValidators.hpp"

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentResponse.hpp"
#include "ZTAPI/ZTPublicAPIDocuments.hpp"
