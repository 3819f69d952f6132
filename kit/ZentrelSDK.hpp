#pragma once

// Everything a host app needs of the kit; the other headers are the kit's own.

// Host entries and switches.
#include "ZTAPI/ZTPublicAPIUser.hpp"
#include "ZTAccounts.hpp"
#include "ZTDocumentsManager.hpp"
#include "ZTEventChecker.hpp"
#include "ZTLogger.hpp"
#include "ZTSecurityManager.hpp"
#include "ZTUserManager.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

// Records a host decodes answers into, and the error of host-facing calls.
#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserAccountsActiveResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserAddressesResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserPersonalDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserScopesResponse.hpp"
#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTResult.hpp"

// Events, their names and what they carry.
#include "ZTCustomCameraView/ZTCameraData/MediaType.hpp"
#include "ZTCustomCameraView/ZTCameraData/ZTCameraData.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/CaptureResult.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTPHPhotoLibrary.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTCropModel.hpp"
#include "ZTEventCore.hpp"
#include "ZTEvents.hpp"
#include "ZTEventsRegistration.hpp"

// Extensions of platform types and input checks.
#include "ZTExtensions/ZTCollectionExtension.hpp"
#include "ZTExtensions/ZTURLExtension.hpp"
#include "ZTUtilites/ZTValidators.hpp"

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentResponse.hpp"
#include "ZTAPI/ZTPublicAPIDocuments.hpp"
