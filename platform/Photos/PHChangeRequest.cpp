#include "Photos/PHChangeRequest.hpp"

#include "Photos/ChangeTransaction.hpp"

namespace Photos {

namespace {
thread_local ChangeTransaction* currentTransaction = nullptr;

std::shared_ptr<PHAssetChangeRequest> creationRequest(const Foundation::URL& fileURL,
                                                      PHAssetMediaType mediaType) {
  auto* transaction = ChangeTransaction::current();
  const auto missing = SimulatedLibrary::shared().missing();
  if (!transaction || missing.assetCreationRequest || !fileURL.isFileURL()) return nullptr;
  auto state = std::make_shared<PHAssetChangeRequest::State>();
  state->asset.id = SimulatedLibrary::newAssetIdentifier();
  state->asset.sourcePath = fileURL.path();
  state->asset.mediaType = mediaType;
  state->asset.creationDate = Foundation::Date::now().timeIntervalSince1970();
  transaction->add(state);
  std::shared_ptr<PHObjectPlaceholder> placeholder;
  if (!missing.assetPlaceholder)
    placeholder = std::make_shared<PHObjectPlaceholder>(state->asset.id);
  return std::make_shared<PHAssetChangeRequest>(std::move(state), std::move(placeholder));
}
}  // namespace

ChangeTransaction::ChangeTransaction() : previous_(currentTransaction) {
  currentTransaction = this;
}

ChangeTransaction::~ChangeTransaction() {
  currentTransaction = previous_;
}

ChangeTransaction* ChangeTransaction::current() {
  return currentTransaction;
}

void ChangeTransaction::add(std::shared_ptr<PHAssetChangeRequest::State> state) {
  assets_.push_back(std::move(state));
}

void ChangeTransaction::add(std::shared_ptr<PHAssetCollectionChangeRequest::State> state) {
  collections_.push_back(std::move(state));
}

SimulatedLibrary::Changes ChangeTransaction::changes() const {
  SimulatedLibrary::Changes changes;
  for (const auto& state : assets_) changes.assets.push_back(state->asset);
  for (const auto& state : collections_) {
    if (state->newTitle) changes.albums.push_back({state->albumId, *state->newTitle});
    if (!state->assetIds.empty()) changes.additions.push_back({state->albumId, state->assetIds});
  }
  return changes;
}

std::shared_ptr<PHAssetChangeRequest> PHAssetChangeRequest::creationRequestForAssetFromImage(
    const Foundation::URL& fileURL) {
  return creationRequest(fileURL, PHAssetMediaType::image);
}

std::shared_ptr<PHAssetChangeRequest> PHAssetChangeRequest::creationRequestForAssetFromVideo(
    const Foundation::URL& fileURL) {
  return creationRequest(fileURL, PHAssetMediaType::video);
}

void PHAssetChangeRequest::setCreationDate(std::optional<Foundation::Date> date) {
  state_->asset.creationDate =
      date ? std::optional<double>(date->timeIntervalSince1970()) : std::nullopt;
}

void PHAssetChangeRequest::setLocation(std::shared_ptr<const CoreLocation::CLLocation> location) {
  if (location)
    state_->asset.location = std::pair{location->latitude(), location->longitude()};
  else
    state_->asset.location.reset();
}

std::shared_ptr<PHAssetCollectionChangeRequest>
PHAssetCollectionChangeRequest::creationRequestForAssetCollection(const std::string& title) {
  auto* transaction = ChangeTransaction::current();
  const auto missing = SimulatedLibrary::shared().missing();
  if (!transaction || missing.albumCreationRequest) return nullptr;
  auto state = std::make_shared<State>();
  state->albumId = SimulatedLibrary::newAlbumIdentifier();
  state->newTitle = title;
  transaction->add(state);
  std::shared_ptr<PHObjectPlaceholder> placeholder;
  if (!missing.albumPlaceholder)
    placeholder = std::make_shared<PHObjectPlaceholder>(state->albumId);
  return std::make_shared<PHAssetCollectionChangeRequest>(std::move(state), std::move(placeholder));
}

std::shared_ptr<PHAssetCollectionChangeRequest> PHAssetCollectionChangeRequest::forCollection(
    const PHAssetCollection& collection) {
  auto* transaction = ChangeTransaction::current();
  if (!transaction || SimulatedLibrary::shared().missing().albumChangeRequest ||
      !SimulatedLibrary::shared().album(collection.localIdentifier()))
    return nullptr;
  auto state = std::make_shared<State>();
  state->albumId = collection.localIdentifier();
  transaction->add(state);
  return std::make_shared<PHAssetCollectionChangeRequest>(std::move(state), nullptr);
}

void PHAssetCollectionChangeRequest::addAssets(
    const std::vector<std::shared_ptr<const PHObject>>& assets) {
  for (const auto& asset : assets)
    if (asset) state_->assetIds.push_back(asset->localIdentifier());
}

}  // namespace Photos
