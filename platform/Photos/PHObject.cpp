#include "Photos/PHObject.hpp"

#include <algorithm>

#include "Photos/SimulatedLibrary.hpp"

namespace Photos {

namespace {
bool matches(const std::optional<PHFetchOptions>& options, const std::string& title) {
  if (!options || !options->predicate) return true;
  return options->predicate->value == title;
}

std::shared_ptr<PHAssetCollection> collection(const SimulatedLibrary::AlbumRecord& record) {
  return std::make_shared<PHAssetCollection>(record.id, record.title, record.assets.size());
}

std::shared_ptr<PHAsset> asset(const SimulatedLibrary::AssetRecord& record) {
  std::optional<Foundation::Date> date;
  if (record.creationDate) date = Foundation::Date::timeIntervalSince1970(*record.creationDate);
  std::shared_ptr<const CoreLocation::CLLocation> location;
  if (record.location)
    location = std::make_shared<const CoreLocation::CLLocation>(record.location->first,
                                                                record.location->second);
  return std::make_shared<PHAsset>(record.id, record.mediaType, date, std::move(location),
                                   record.filePath);
}

// Assets have no title: a title predicate finds none of them.
bool filtersAssets(const std::optional<PHFetchOptions>& options) {
  return options && options->predicate;
}
}  // namespace

std::optional<NSPredicate> NSPredicate::withFormat(std::string_view format,
                                                   std::string_view argument) {
  std::string compact;
  for (const char c : format)
    if (c != ' ') compact.push_back(c);
  if (compact == "title=%@" || compact == "localizedTitle=%@")
    return NSPredicate{"title", std::string(argument)};
  return std::nullopt;
}

PHFetchResult<PHAssetCollection> PHAssetCollection::fetchAssetCollections(
    PHAssetCollectionType type, PHAssetCollectionSubtype subtype,
    const std::optional<PHFetchOptions>& options) {
  std::vector<std::shared_ptr<PHAssetCollection>> found;
  if (type != PHAssetCollectionType::album) return PHFetchResult<PHAssetCollection>(found);
  (void)subtype;  // every album is a regular one
  for (const auto& record : SimulatedLibrary::shared().albums())
    if (matches(options, record.title)) found.push_back(collection(record));
  return PHFetchResult<PHAssetCollection>(std::move(found));
}

PHFetchResult<PHAssetCollection> PHAssetCollection::fetchAssetCollections(
    const std::vector<std::string>& localIdentifiers,
    const std::optional<PHFetchOptions>& options) {
  std::vector<std::shared_ptr<PHAssetCollection>> found;
  for (const auto& id : localIdentifiers) {
    const auto record = SimulatedLibrary::shared().album(id);
    if (record && matches(options, record->title)) found.push_back(collection(*record));
  }
  return PHFetchResult<PHAssetCollection>(std::move(found));
}

PHFetchResult<PHAsset> PHAsset::fetchAssets(const std::vector<std::string>& localIdentifiers,
                                            const std::optional<PHFetchOptions>& options) {
  std::vector<std::shared_ptr<PHAsset>> found;
  if (filtersAssets(options)) return PHFetchResult<PHAsset>(found);
  for (const auto& id : localIdentifiers)
    if (const auto record = SimulatedLibrary::shared().asset(id)) found.push_back(asset(*record));
  return PHFetchResult<PHAsset>(std::move(found));
}

PHFetchResult<PHAsset> PHAsset::fetchAssets(const PHAssetCollection& collection,
                                            const std::optional<PHFetchOptions>& options) {
  const auto album = SimulatedLibrary::shared().album(collection.localIdentifier());
  if (!album) return PHFetchResult<PHAsset>();
  return fetchAssets(album->assets, options);
}

}  // namespace Photos
