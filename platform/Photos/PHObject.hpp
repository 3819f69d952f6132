#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CoreLocation/CLLocation.hpp"
#include "Foundation/Date.hpp"
#include "Photos/PHTypes.hpp"

namespace Photos {

// The one predicate form the library understands: Swift `NSPredicate(format: "key = %@",
// value)` on "title" (or "localizedTitle"). Any other format is refused.
struct NSPredicate {
  std::string key;
  std::string value;
  static std::optional<NSPredicate> withFormat(std::string_view format, std::string_view argument);
};

// Swift's PHFetchOptions.
struct PHFetchOptions {
  std::optional<NSPredicate> predicate;
};

// Swift's PHFetchResult: the objects found, in the library's order (oldest first).
template <class T>
class PHFetchResult {
 public:
  PHFetchResult() = default;
  explicit PHFetchResult(std::vector<std::shared_ptr<T>> objects) : objects_(std::move(objects)) {}
  std::size_t count() const { return objects_.size(); }
  std::shared_ptr<T> firstObject() const { return objects_.empty() ? nullptr : objects_.front(); }
  std::shared_ptr<T> object(std::size_t index) const {
    return index < objects_.size() ? objects_[index] : nullptr;
  }
  const std::vector<std::shared_ptr<T>>& objects() const { return objects_; }

 private:
  std::vector<std::shared_ptr<T>> objects_;
};

// Swift's PHObject: anything the library keeps, known by its generated local identifier.
class PHObject {
 public:
  explicit PHObject(std::string localIdentifier) : id_(std::move(localIdentifier)) {}
  virtual ~PHObject() = default;
  const std::string& localIdentifier() const { return id_; }

 private:
  std::string id_;
};

// Swift's PHObjectPlaceholder: stands for an object a change creates, before it exists.
class PHObjectPlaceholder : public PHObject {
 public:
  using PHObject::PHObject;
};

class PHAssetCollection;

// Swift's PHAsset: a photo or a video of the library. A snapshot; immutable.
class PHAsset : public PHObject {
 public:
  PHAsset(std::string localIdentifier, PHAssetMediaType mediaType,
          std::optional<Foundation::Date> creationDate,
          std::shared_ptr<const CoreLocation::CLLocation> location, std::string filePath)
      : PHObject(std::move(localIdentifier)),
        mediaType_(mediaType),
        creationDate_(creationDate),
        location_(std::move(location)),
        filePath_(std::move(filePath)) {}

  PHAssetMediaType mediaType() const { return mediaType_; }
  const std::optional<Foundation::Date>& creationDate() const { return creationDate_; }
  const std::shared_ptr<const CoreLocation::CLLocation>& location() const { return location_; }
  // Where the library keeps the file (inside its folder).
  const std::string& filePath() const { return filePath_; }

  // Swift `PHAsset.fetchAssets(withLocalIdentifiers:options:)`; malformed or unknown
  // identifiers find nothing.
  static PHFetchResult<PHAsset> fetchAssets(const std::vector<std::string>& localIdentifiers,
                                            const std::optional<PHFetchOptions>& options);
  // Swift `PHAsset.fetchAssets(in:options:)`.
  static PHFetchResult<PHAsset> fetchAssets(const PHAssetCollection& collection,
                                            const std::optional<PHFetchOptions>& options);

 private:
  PHAssetMediaType mediaType_;
  std::optional<Foundation::Date> creationDate_;
  std::shared_ptr<const CoreLocation::CLLocation> location_;
  std::string filePath_;
};

// Swift's PHAssetCollection: an album. Its title is only a label. A snapshot; immutable.
class PHAssetCollection : public PHObject {
 public:
  PHAssetCollection(std::string localIdentifier, std::string title, std::size_t assetCount)
      : PHObject(std::move(localIdentifier)), title_(std::move(title)), count_(assetCount) {}
  const std::string& localizedTitle() const { return title_; }
  PHAssetCollectionType assetCollectionType() const { return PHAssetCollectionType::album; }
  std::size_t estimatedAssetCount() const { return count_; }

  // Swift `fetchAssetCollections(with:subtype:options:)`: the albums, oldest first.
  static PHFetchResult<PHAssetCollection> fetchAssetCollections(
      PHAssetCollectionType type, PHAssetCollectionSubtype subtype,
      const std::optional<PHFetchOptions>& options);
  // Swift `fetchAssetCollections(withLocalIdentifiers:options:)`.
  static PHFetchResult<PHAssetCollection> fetchAssetCollections(
      const std::vector<std::string>& localIdentifiers,
      const std::optional<PHFetchOptions>& options);

 private:
  std::string title_;
  std::size_t count_;
};

}  // namespace Photos
