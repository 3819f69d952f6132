#include "Photos/SimulatedLibrary.hpp"

#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

#include <nlohmann/json.hpp>

#include "Foundation/Data.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/UUID.hpp"
#include "ImageIO/CGImageSource.hpp"

namespace Photos {

namespace fs = std::filesystem;

namespace {
constexpr std::string_view kAssetSuffix = "/L0/001";
constexpr std::string_view kAlbumSuffix = "/L0/040";

// The UUID of a well-formed identifier with that suffix: the only part a path is built from.
std::optional<std::string> uuidPart(std::string_view id, std::string_view suffix) {
  if (id.size() <= suffix.size() || id.substr(id.size() - suffix.size()) != suffix)
    return std::nullopt;
  const auto uuid = Foundation::UUID::uuidString(id.substr(0, id.size() - suffix.size()));
  if (!uuid) return std::nullopt;
  return uuid->uuidString();
}

// The extension of a copied file: letters and digits only, so it cannot leave the folder.
std::string safeExtension(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  if (!ext.empty()) ext.erase(0, 1);
  if (ext.empty() || ext.size() > 8 ||
      !std::all_of(ext.begin(), ext.end(), [](unsigned char c) { return std::isalnum(c); }))
    return "dat";
  return ext;
}

std::optional<nlohmann::json> readJSON(const fs::path& path) {
  auto bytes = Foundation::dataContentsOf(path.string());
  if (!bytes) return std::nullopt;
  auto json = nlohmann::json::parse(bytes.value().begin(), bytes.value().end(), nullptr, false);
  if (json.is_discarded() || !json.is_object()) return std::nullopt;
  return json;
}

bool writeJSON(const fs::path& path, const nlohmann::json& json) {
  return Foundation::writeData(Foundation::dataFromString(json.dump()), path.string()).isSuccess();
}

Foundation::NSError invalid(const std::string& what) {
  return photosError(PHPhotosErrorInvalidResource, what);
}
}  // namespace

SimulatedLibrary& SimulatedLibrary::shared() {
  static auto* library = new SimulatedLibrary;
  return *library;
}

SimulatedLibrary::SimulatedLibrary() {
  root_ = Foundation::FileManager::defaultManager().applicationDataDirectory() + "/PhotoLibrary";
}

std::string SimulatedLibrary::newAssetIdentifier() {
  return Foundation::UUID().uuidString() + std::string(kAssetSuffix);
}

std::string SimulatedLibrary::newAlbumIdentifier() {
  return Foundation::UUID().uuidString() + std::string(kAlbumSuffix);
}

std::string SimulatedLibrary::root() const {
  std::lock_guard lock(mutex_);
  return root_;
}

void SimulatedLibrary::setRoot(std::string path) {
  std::lock_guard lock(mutex_);
  root_ = std::move(path);
}

void SimulatedLibrary::reset() {
  std::string tmpl = (fs::temp_directory_path() / "zt-photos-XXXXXX").string();
  const bool made = ::mkdtemp(tmpl.data()) != nullptr;
  std::lock_guard lock(mutex_);
  if (!temporaryRoot_.empty()) {
    std::error_code ec;
    fs::remove_all(temporaryRoot_, ec);
  }
  temporaryRoot_ = made ? tmpl : std::string();
  if (made) root_ = temporaryRoot_;
  permission_ = Permission{};
  failures_ = 0;
  missing_ = Missing{};
}

SimulatedLibrary::Permission SimulatedLibrary::permission() const {
  std::lock_guard lock(mutex_);
  return permission_;
}

void SimulatedLibrary::setPermission(PHAuthorizationStatus status, PHAuthorizationStatus answer,
                                     Foundation::TimeInterval delay) {
  std::lock_guard lock(mutex_);
  permission_.status = status;
  permission_.answer =
      answer == PHAuthorizationStatus::notDetermined ? PHAuthorizationStatus::denied : answer;
  permission_.delay = std::max(0.0, delay);
}

std::pair<PHAuthorizationStatus, Foundation::TimeInterval> SimulatedLibrary::prompt() {
  std::lock_guard lock(mutex_);
  if (permission_.status != PHAuthorizationStatus::notDetermined) return {permission_.status, 0};
  if (!permission_.asking) ++permission_.prompts;
  permission_.asking = true;
  return {permission_.answer, permission_.delay};
}

void SimulatedLibrary::settle(PHAuthorizationStatus answer) {
  std::lock_guard lock(mutex_);
  permission_.asking = false;
  if (permission_.status == PHAuthorizationStatus::notDetermined) permission_.status = answer;
}

void SimulatedLibrary::failChanges(int count) {
  std::lock_guard lock(mutex_);
  failures_ = std::max(0, count);
}

SimulatedLibrary::Missing SimulatedLibrary::missing() const {
  std::lock_guard lock(mutex_);
  return missing_;
}

void SimulatedLibrary::setMissing(Missing missing) {
  std::lock_guard lock(mutex_);
  missing_ = missing;
}

std::uint64_t SimulatedLibrary::nextSequenceLocked() const {
  std::uint64_t next = 1;
  for (const auto& album : albumsLocked()) next = std::max(next, album.sequence + 1);
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(root_) / "Assets", ec)) {
    const auto json = readJSON(entry.path() / "asset.json");
    if (json && json->contains("sequence") && (*json)["sequence"].is_number_unsigned())
      next = std::max(next, (*json)["sequence"].get<std::uint64_t>() + 1);
  }
  return next;
}

Foundation::Result<void, Foundation::NSError> SimulatedLibrary::apply(const Changes& changes) {
  std::lock_guard lock(mutex_);
  if (failures_ > 0) {
    --failures_;
    return Foundation::failure(
        photosError(PHPhotosErrorOperationInterrupted, "The operation couldn't be completed"));
  }
  // Everything is checked before anything is written.
  std::set<std::string> newAssets;
  for (const auto& asset : changes.assets) {
    if (!uuidPart(asset.id, kAssetSuffix)) return Foundation::failure(invalid("bad identifier"));
    std::error_code ec;
    if (!fs::is_regular_file(asset.sourcePath, ec))
      return Foundation::failure(invalid("No file at " + asset.sourcePath));
    if (asset.mediaType == PHAssetMediaType::image) {
      auto bytes = Foundation::dataContentsOf(asset.sourcePath);
      if (!bytes || ImageIO::CGImageSource::createWithData(std::move(bytes).value())->count() != 1)
        return Foundation::failure(invalid("Not an image: " + asset.sourcePath));
    } else if (fs::file_size(asset.sourcePath, ec) == 0 || ec) {
      return Foundation::failure(invalid("Empty movie: " + asset.sourcePath));
    }
    newAssets.insert(asset.id);
  }
  std::set<std::string> newAlbums;
  for (const auto& album : changes.albums) {
    if (!uuidPart(album.id, kAlbumSuffix)) return Foundation::failure(invalid("bad identifier"));
    newAlbums.insert(album.id);
  }
  for (const auto& addition : changes.additions) {
    if (!newAlbums.count(addition.albumId) && !albumLocked(addition.albumId))
      return Foundation::failure(invalid("No such album"));
    for (const auto& id : addition.assetIds)
      if (!newAssets.count(id) && !assetLocked(id))
        return Foundation::failure(invalid("No such asset"));
  }

  std::uint64_t sequence = nextSequenceLocked();
  const fs::path root(root_);
  std::error_code ec;
  fs::create_directories(root / "Assets", ec);
  fs::create_directories(root / "Albums", ec);
  for (const auto& asset : changes.assets) {
    const fs::path folder = root / "Assets" / *uuidPart(asset.id, kAssetSuffix);
    const std::string file = "original." + safeExtension(asset.sourcePath);
    fs::create_directories(folder, ec);
    if (ec ||
        !fs::copy_file(asset.sourcePath, folder / file, fs::copy_options::overwrite_existing, ec))
      return Foundation::failure(photosError(PHPhotosErrorInternal, "Cannot copy the file"));
    nlohmann::json json{{"id", asset.id},
                        {"mediaType", static_cast<int>(asset.mediaType)},
                        {"file", file},
                        {"sequence", sequence++}};
    if (asset.creationDate) json["creationDate"] = *asset.creationDate;
    if (asset.location) json["location"] = {asset.location->first, asset.location->second};
    if (!writeJSON(folder / "asset.json", json))
      return Foundation::failure(photosError(PHPhotosErrorInternal, "Cannot write the asset"));
  }
  for (const auto& album : changes.albums) {
    const nlohmann::json json{{"id", album.id},
                              {"title", album.title},
                              {"assets", nlohmann::json::array()},
                              {"sequence", sequence++}};
    if (!writeJSON(root / "Albums" / (*uuidPart(album.id, kAlbumSuffix) + ".json"), json))
      return Foundation::failure(photosError(PHPhotosErrorInternal, "Cannot write the album"));
  }
  for (const auto& addition : changes.additions) {
    const fs::path path = root / "Albums" / (*uuidPart(addition.albumId, kAlbumSuffix) + ".json");
    auto json = readJSON(path);
    if (!json) return Foundation::failure(photosError(PHPhotosErrorInternal, "Album unreadable"));
    auto& assets = (*json)["assets"];
    for (const auto& id : addition.assetIds)
      if (std::find(assets.begin(), assets.end(), id) == assets.end()) assets.push_back(id);
    if (!writeJSON(path, *json))
      return Foundation::failure(photosError(PHPhotosErrorInternal, "Cannot write the album"));
  }
  return Foundation::success();
}

std::vector<SimulatedLibrary::AlbumRecord> SimulatedLibrary::albums() const {
  std::lock_guard lock(mutex_);
  return albumsLocked();
}

std::optional<SimulatedLibrary::AlbumRecord> SimulatedLibrary::album(std::string_view id) const {
  std::lock_guard lock(mutex_);
  return albumLocked(id);
}

std::optional<SimulatedLibrary::AssetRecord> SimulatedLibrary::asset(std::string_view id) const {
  std::lock_guard lock(mutex_);
  return assetLocked(id);
}

std::vector<SimulatedLibrary::AlbumRecord> SimulatedLibrary::albumsLocked() const {
  std::vector<AlbumRecord> albums;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(root_) / "Albums", ec)) {
    const auto name = entry.path().stem().string();
    if (auto album = albumLocked(name + std::string(kAlbumSuffix))) albums.push_back(*album);
  }
  std::sort(albums.begin(), albums.end(),
            [](const auto& a, const auto& b) { return a.sequence < b.sequence; });
  return albums;
}

std::optional<SimulatedLibrary::AlbumRecord> SimulatedLibrary::albumLocked(
    std::string_view id) const {
  try {
    const auto uuid = uuidPart(id, kAlbumSuffix);
    if (!uuid) return std::nullopt;
    const auto json = readJSON(fs::path(root_) / "Albums" / (*uuid + ".json"));
    if (!json) return std::nullopt;
    AlbumRecord album;
    album.id = std::string(id);
    album.title = json->value("title", "");
    album.sequence = json->value("sequence", std::uint64_t{0});
    if (json->contains("assets") && (*json)["assets"].is_array())
      for (const auto& asset : (*json)["assets"])
        if (asset.is_string()) album.assets.push_back(asset.get<std::string>());
    return album;
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;  // a damaged record is no record
  }
}

std::optional<SimulatedLibrary::AssetRecord> SimulatedLibrary::assetLocked(
    std::string_view id) const {
  try {
    const auto uuid = uuidPart(id, kAssetSuffix);
    if (!uuid) return std::nullopt;
    const fs::path folder = fs::path(root_) / "Assets" / *uuid;
    const auto json = readJSON(folder / "asset.json");
    if (!json) return std::nullopt;
    AssetRecord asset;
    asset.id = std::string(id);
    asset.mediaType = static_cast<PHAssetMediaType>(json->value("mediaType", 0));
    const std::string file = json->value("file", "");
    if (file.find('/') != std::string::npos || file.find("..") != std::string::npos)
      return std::nullopt;
    asset.filePath = (folder / file).string();
    asset.sequence = json->value("sequence", std::uint64_t{0});
    if (json->contains("creationDate") && (*json)["creationDate"].is_number())
      asset.creationDate = (*json)["creationDate"].get<double>();
    if (json->contains("location") && (*json)["location"].is_array() &&
        (*json)["location"].size() == 2)
      asset.location = {(*json)["location"][0].get<double>(), (*json)["location"][1].get<double>()};
    return asset;
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;  // a damaged record is no record
  }
}

}  // namespace Photos
