#pragma once

#include <string>

#include "Foundation/NSError.hpp"

namespace Photos {

// Swift's PHAuthorizationStatus, with the platform's raw values.
enum class PHAuthorizationStatus : int {
  notDetermined = 0,
  restricted = 1,
  denied = 2,
  authorized = 3,
  limited = 4,
};

enum class PHAssetMediaType : int { unknown = 0, image = 1, video = 2, audio = 3 };
enum class PHAssetCollectionType : int { album = 1, smartAlbum = 2, moment = 3 };
// Swift's PHAssetCollectionSubtype; only "any" is told apart here.
enum class PHAssetCollectionSubtype : int { albumRegular = 2, any = 0x7FFFFFFF };

inline constexpr const char* PHPhotosErrorDomain = "PHPhotosErrorDomain";
inline constexpr int PHPhotosErrorInvalidResource = 3300;
inline constexpr int PHPhotosErrorAccessUserDenied = 3311;
inline constexpr int PHPhotosErrorInternal = -1;
inline constexpr int PHPhotosErrorOperationInterrupted = 3301;

Foundation::NSError photosError(int code, const std::string& description);

}  // namespace Photos
