#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <CoreLocation/CLLocation.hpp>
#include <Foundation/Date.hpp>
#include <Foundation/URL.hpp>
#include <Photos/PHObject.hpp>
#include <Photos/PHPhotoLibrary.hpp>

namespace ZentrelSDK {

// When and where a saved asset was made.
struct ZTPHSaveDetails {
  Foundation::Date date = Foundation::Date::now();  // the time of the call by default
  std::shared_ptr<const CoreLocation::CLLocation> location;
};

// The kit's extension of PHPhotoLibrary: albums found by title or made, and image and movie
// files saved as new assets, optionally into an album. Albums and assets live under the
// library's generated identifiers; a title is only a label. Completions run on the threads on
// which the library answers, except getAlbum with an existing album, which answers at once on
// the caller's thread.
class ZTPHPhotoLibrary {
 public:
  using AlbumCompletion = std::function<void(std::shared_ptr<Photos::PHAssetCollection>)>;
  using AssetCompletion = std::function<void(std::shared_ptr<Photos::PHAsset>)>;

  using SaveDetails = ZTPHSaveDetails;

  // The first album titled `name`, else a new one. Find-or-create is serialised per library,
  // so callers asking for one new title at once share one new album. The album is null only
  // when none could be found or made.
  static void getAlbum(const std::shared_ptr<Photos::PHPhotoLibrary>& library,
                       const std::string& name, AlbumCompletion completion);

  // Swift `save(imageAtURL:albumName:date:location:completion:)` and its video form, named
  // apart here since both take a URL. Each reports exactly once when a completion is given:
  // the new asset, or null when access is refused, the change fails or no asset came of it.
  // An album that cannot be found or made does not stop the save: the asset goes in without.
  static void saveImageAtURL(const std::shared_ptr<Photos::PHPhotoLibrary>& library,
                             const Foundation::URL& url,
                             const std::optional<std::string>& albumName,
                             AssetCompletion completion = nullptr, SaveDetails details = {});
  static void saveVideoAtURL(const std::shared_ptr<Photos::PHPhotoLibrary>& library,
                             const Foundation::URL& url,
                             const std::optional<std::string>& albumName,
                             AssetCompletion completion = nullptr, SaveDetails details = {});

 private:
  enum class Kind { image, video };
  static void save(const std::shared_ptr<Photos::PHPhotoLibrary>& library, Kind kind,
                   const Foundation::URL& url, const std::optional<std::string>& albumName,
                   AssetCompletion completion, SaveDetails details);
  static std::shared_ptr<Photos::PHAssetCollection> findAlbum(const std::string& name);
  static void createAlbum(const std::shared_ptr<Photos::PHPhotoLibrary>& library,
                          const std::string& name, AlbumCompletion completion);
  static void saveAsset(const std::shared_ptr<Photos::PHPhotoLibrary>& library, Kind kind,
                        const Foundation::URL& url,
                        std::shared_ptr<Photos::PHAssetCollection> album,
                        AssetCompletion completion, SaveDetails details);
};

}  // namespace ZentrelSDK
