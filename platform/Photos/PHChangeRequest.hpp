#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "CoreLocation/CLLocation.hpp"
#include "Foundation/Date.hpp"
#include "Foundation/URL.hpp"
#include "Photos/PHObject.hpp"

namespace Photos {

// Change requests exist only inside a change block of PHPhotoLibrary::performChanges (null
// elsewhere, as the platform refuses them), and take effect when the block has returned.

// Swift's PHAssetChangeRequest (creation form).
class PHAssetChangeRequest {
 public:
  // Swift `creationRequestForAssetFromImage(atFileURL:)` and `...FromVideo(atFileURL:)`. The
  // file is checked when the change is applied.
  static std::shared_ptr<PHAssetChangeRequest> creationRequestForAssetFromImage(
      const Foundation::URL& fileURL);
  static std::shared_ptr<PHAssetChangeRequest> creationRequestForAssetFromVideo(
      const Foundation::URL& fileURL);

  void setCreationDate(std::optional<Foundation::Date> date);
  void setLocation(std::shared_ptr<const CoreLocation::CLLocation> location);
  // Null when the platform gives none.
  std::shared_ptr<PHObjectPlaceholder> placeholderForCreatedAsset() const { return placeholder_; }

  struct State;
  explicit PHAssetChangeRequest(std::shared_ptr<State> state,
                                std::shared_ptr<PHObjectPlaceholder> placeholder)
      : state_(std::move(state)), placeholder_(std::move(placeholder)) {}

 private:
  std::shared_ptr<State> state_;
  std::shared_ptr<PHObjectPlaceholder> placeholder_;
};

// Swift's PHAssetCollectionChangeRequest.
class PHAssetCollectionChangeRequest {
 public:
  // Swift `creationRequestForAssetCollection(withTitle:)`.
  static std::shared_ptr<PHAssetCollectionChangeRequest> creationRequestForAssetCollection(
      const std::string& title);
  // Swift `PHAssetCollectionChangeRequest(for:)`: null for a collection that is not an album
  // of the library, or when the platform gives none.
  static std::shared_ptr<PHAssetCollectionChangeRequest> forCollection(
      const PHAssetCollection& collection);

  // Null when the platform gives none (and always for the `forCollection` form).
  std::shared_ptr<PHObjectPlaceholder> placeholderForCreatedAssetCollection() const {
    return placeholder_;
  }
  // Assets or placeholders of assets.
  void addAssets(const std::vector<std::shared_ptr<const PHObject>>& assets);

  struct State;
  PHAssetCollectionChangeRequest(std::shared_ptr<State> state,
                                 std::shared_ptr<PHObjectPlaceholder> placeholder)
      : state_(std::move(state)), placeholder_(std::move(placeholder)) {}

 private:
  std::shared_ptr<State> state_;
  std::shared_ptr<PHObjectPlaceholder> placeholder_;
};

}  // namespace Photos
