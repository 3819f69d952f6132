#include "ZTCustomCameraView/ZTCameraViewManager/ZTPHPhotoLibrary.hpp"

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include <Photos/PHChangeRequest.hpp>

namespace ZentrelSDK {

namespace {
using Photos::PHAssetCollection;
using Photos::PHObjectPlaceholder;

// The albums being made, per library and title, with everyone waiting for each.
struct AlbumsInFlight {
  std::mutex mutex;
  std::map<std::pair<std::uintptr_t, std::string>, std::vector<ZTPHPhotoLibrary::AlbumCompletion>>
      waiting;
};

AlbumsInFlight& inFlight() {
  static auto* albums = new AlbumsInFlight;
  return *albums;
}

// Filled by a change block, read by its completion handler.
struct PlaceholderBox {
  std::mutex mutex;
  std::shared_ptr<PHObjectPlaceholder> placeholder;

  void set(std::shared_ptr<PHObjectPlaceholder> p) {
    std::lock_guard lock(mutex);
    placeholder = std::move(p);
  }
  std::shared_ptr<PHObjectPlaceholder> get() {
    std::lock_guard lock(mutex);
    return placeholder;
  }
};
}  // namespace

std::shared_ptr<PHAssetCollection> ZTPHPhotoLibrary::findAlbum(const std::string& name) {
  Photos::PHFetchOptions options;
  options.predicate = Photos::NSPredicate::withFormat("title = %@", name);
  return PHAssetCollection::fetchAssetCollections(Photos::PHAssetCollectionType::album,
                                                  Photos::PHAssetCollectionSubtype::any, options)
      .firstObject();
}

void ZTPHPhotoLibrary::getAlbum(const std::shared_ptr<Photos::PHPhotoLibrary>& library,
                                const std::string& name, AlbumCompletion completion) {
  if (auto album = findAlbum(name)) {
    if (completion) completion(std::move(album));
    return;
  }
  const auto key = std::pair{reinterpret_cast<std::uintptr_t>(library.get()), name};
  auto& albums = inFlight();
  std::shared_ptr<PHAssetCollection> madeMeanwhile;
  {
    std::lock_guard lock(albums.mutex);
    auto it = albums.waiting.find(key);
    if (it != albums.waiting.end()) {  // someone is making it: wait for theirs
      it->second.push_back(std::move(completion));
      return;
    }
    // It may have been made between the search above and now.
    madeMeanwhile = findAlbum(name);
    if (!madeMeanwhile) albums.waiting[key].push_back(std::move(completion));
  }
  if (madeMeanwhile) {
    if (completion) completion(std::move(madeMeanwhile));
    return;
  }
  createAlbum(library, name, [key](std::shared_ptr<PHAssetCollection> album) {
    std::vector<AlbumCompletion> waiters;
    {
      auto& albums = inFlight();
      std::lock_guard lock(albums.mutex);
      auto node = albums.waiting.extract(key);
      if (node) waiters = std::move(node.mapped());
    }
    for (auto& waiter : waiters)
      if (waiter) waiter(album);
  });
}

void ZTPHPhotoLibrary::createAlbum(const std::shared_ptr<Photos::PHPhotoLibrary>& library,
                                   const std::string& name, AlbumCompletion completion) {
  auto box = std::make_shared<PlaceholderBox>();
  library->performChanges(
      [box, name] {
        auto request =
            Photos::PHAssetCollectionChangeRequest::creationRequestForAssetCollection(name);
        if (request) box->set(request->placeholderForCreatedAssetCollection());
      },
      [box, completion = std::move(completion)](bool, const auto&) {
        std::shared_ptr<PHAssetCollection> album;
        if (auto placeholder = box->get())
          album = PHAssetCollection::fetchAssetCollections({placeholder->localIdentifier()},
                                                           std::nullopt)
                      .firstObject();
        if (completion) completion(std::move(album));
      });
}

void ZTPHPhotoLibrary::saveImageAtURL(const std::shared_ptr<Photos::PHPhotoLibrary>& library,
                                      const Foundation::URL& url,
                                      const std::optional<std::string>& albumName,
                                      AssetCompletion completion, SaveDetails details) {
  save(library, Kind::image, url, albumName, std::move(completion), std::move(details));
}

void ZTPHPhotoLibrary::saveVideoAtURL(const std::shared_ptr<Photos::PHPhotoLibrary>& library,
                                      const Foundation::URL& url,
                                      const std::optional<std::string>& albumName,
                                      AssetCompletion completion, SaveDetails details) {
  save(library, Kind::video, url, albumName, std::move(completion), std::move(details));
}

void ZTPHPhotoLibrary::save(const std::shared_ptr<Photos::PHPhotoLibrary>& library, Kind kind,
                            const Foundation::URL& url, const std::optional<std::string>& albumName,
                            AssetCompletion completion, SaveDetails details) {
  auto refused = completion;
  auto proceed = [library, kind, url, albumName, completion = std::move(completion),
                  details = std::move(details)]() mutable {
    if (!albumName) return saveAsset(library, kind, url, nullptr, std::move(completion), details);
    getAlbum(library, *albumName,
             [library, kind, url, completion = std::move(completion),
              details](std::shared_ptr<PHAssetCollection> album) mutable {
               saveAsset(library, kind, url, std::move(album), std::move(completion), details);
             });
  };
  if (Photos::PHPhotoLibrary::authorizationStatus() == Photos::PHAuthorizationStatus::authorized)
    return proceed();
  Photos::PHPhotoLibrary::requestAuthorization(
      [proceed = std::move(proceed),
       refused = std::move(refused)](Photos::PHAuthorizationStatus status) mutable {
        if (status == Photos::PHAuthorizationStatus::authorized) return proceed();
        if (refused) refused(nullptr);  // reported, once, without an asset
      });
}

void ZTPHPhotoLibrary::saveAsset(const std::shared_ptr<Photos::PHPhotoLibrary>& library, Kind kind,
                                 const Foundation::URL& url,
                                 std::shared_ptr<PHAssetCollection> album,
                                 AssetCompletion completion, SaveDetails details) {
  auto box = std::make_shared<PlaceholderBox>();
  library->performChanges(
      [box, kind, url, album, details] {
        auto request = kind == Kind::image
                           ? Photos::PHAssetChangeRequest::creationRequestForAssetFromImage(url)
                           : Photos::PHAssetChangeRequest::creationRequestForAssetFromVideo(url);
        if (!request) return;
        request->setCreationDate(details.date);
        request->setLocation(details.location);
        // Kept with or without an album, so the new asset can always be reported.
        auto placeholder = request->placeholderForCreatedAsset();
        box->set(placeholder);
        if (!album || !placeholder) return;
        if (auto albumRequest = Photos::PHAssetCollectionChangeRequest::forCollection(*album))
          albumRequest->addAssets({placeholder});
      },
      [box, completion = std::move(completion)](bool success, const auto&) {
        std::shared_ptr<Photos::PHAsset> asset;
        auto placeholder = box->get();
        if (success && placeholder)
          asset = Photos::PHAsset::fetchAssets({placeholder->localIdentifier()}, std::nullopt)
                      .firstObject();
        if (completion) completion(std::move(asset));
      });
}

}  // namespace ZentrelSDK
