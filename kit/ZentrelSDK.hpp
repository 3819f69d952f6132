#pragma once

// Everything a host app needs of the kit; the other headers are the kit's own. The headers
// named here are the ones installed, and each includes only these of the kit's.

// Start-up, switches and sign-in.
#include "ZTAccounts.hpp"
#include "ZTLogger.hpp"
#include "ZTSecurityManager.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "ZTUtilites/ZTPublicConstants.hpp"

// The user's data, the records it comes in, and the error of host-facing calls.
#include "ZTAPI/ResponceDataModel/User/ZTUserAccountsActiveResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserAddressesResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserPersonalDataResponse.hpp"
#include "ZTAPI/ResponceDataModel/User/ZTUserScopesResponse.hpp"
#include "ZTAPI/ResponceDataModel/ZTError.hpp"
#include "ZTAPI/ZTPublicAPIUser.hpp"
#include "ZTResult.hpp"
#include "ZTUserManager.hpp"

// How the host-facing reads above decode the record the caller names.
#include "ZTAPI/ZTPublicAPIRequest.hpp"
#include "ZTExtensions/ZTDataExtension.hpp"

// Documents: the host's doors, and the public documents records.
#include "ZTAPI/ResponceDataModel/Docks/ZTDocumentsListResponse.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentResponse.hpp"
#include "ZTAPI/ZTPublicAPIDocuments.hpp"
#include "ZTDocumentsManager.hpp"
#include "ZTPrivateDocumentsManager.hpp"

// The camera and the photo library.
#include "ZTCustomCameraView/ZTCameraData/MediaType.hpp"
#include "ZTCustomCameraView/ZTCameraData/ZTCameraData.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/CaptureContent.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/CaptureResult.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCaptureTypes.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTPHPhotoLibrary.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTCropModel.hpp"

// Events: names, what they carry, and registrations that end with their owner.
#include "ZTEventChecker.hpp"
#include "ZTEventCore.hpp"
#include "ZTEvents.hpp"
#include "ZTEventsRegistration.hpp"

// Extensions of platform types and input checks.
#include "ZTExtensions/ZTCollectionExtension.hpp"
#include "ZTExtensions/ZTURLExtension.hpp"
#include "ZTUtilites/ZTValidators.hpp"
