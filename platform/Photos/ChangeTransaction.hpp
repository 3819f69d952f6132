#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Photos/PHChangeRequest.hpp"
#include "Photos/SimulatedLibrary.hpp"

namespace Photos {

struct PHAssetChangeRequest::State {
  SimulatedLibrary::Changes::NewAsset asset;
};

struct PHAssetCollectionChangeRequest::State {
  std::string albumId;
  std::optional<std::string> newTitle;  // set for a creation request
  std::vector<std::string> assetIds;
};

// The requests of the change block running on this thread. Internal to Photos.
class ChangeTransaction {
 public:
  ChangeTransaction();
  ~ChangeTransaction();
  ChangeTransaction(const ChangeTransaction&) = delete;
  ChangeTransaction& operator=(const ChangeTransaction&) = delete;

  // The transaction of the change block running on the calling thread, or null.
  static ChangeTransaction* current();

  void add(std::shared_ptr<PHAssetChangeRequest::State> state);
  void add(std::shared_ptr<PHAssetCollectionChangeRequest::State> state);
  SimulatedLibrary::Changes changes() const;

 private:
  std::vector<std::shared_ptr<PHAssetChangeRequest::State>> assets_;
  std::vector<std::shared_ptr<PHAssetCollectionChangeRequest::State>> collections_;
  ChangeTransaction* previous_;
};

}  // namespace Photos
