#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Foundation/Clock.hpp"
#include "Foundation/NSError.hpp"
#include "Foundation/Result.hpp"
#include "Photos/PHTypes.hpp"

namespace Photos {

// The one simulated photo library of the process: a folder holding assets and albums under
// generated local identifiers (a title is only metadata, never part of a path), the owner's
// answer to the permission prompt, and the faults to inject. Tests and hosts drive it through
// PlatformTesting::CaptureRig; the Photos classes read and change it. Thread-safe.
class SimulatedLibrary {
 public:
  struct Permission {
    PHAuthorizationStatus status = PHAuthorizationStatus::notDetermined;
    PHAuthorizationStatus answer = PHAuthorizationStatus::authorized;
    Foundation::TimeInterval delay = 0;
    int prompts = 0;
    bool asking = false;  // a prompt is up
  };
  // Requests and placeholders the platform does not give.
  struct Missing {
    bool assetCreationRequest = false;
    bool assetPlaceholder = false;
    bool albumCreationRequest = false;
    bool albumPlaceholder = false;
    bool albumChangeRequest = false;
  };

  struct AssetRecord {
    std::string id;
    PHAssetMediaType mediaType = PHAssetMediaType::image;
    std::optional<double> creationDate;  // seconds since 1970
    std::optional<std::pair<double, double>> location;
    std::string filePath;
    std::uint64_t sequence = 0;
  };
  struct AlbumRecord {
    std::string id;
    std::string title;
    std::vector<std::string> assets;
    std::uint64_t sequence = 0;
  };
  // One change, applied as a whole or not at all.
  struct Changes {
    struct NewAsset {
      std::string id;
      std::string sourcePath;
      PHAssetMediaType mediaType = PHAssetMediaType::image;
      std::optional<double> creationDate;
      std::optional<std::pair<double, double>> location;
    };
    struct NewAlbum {
      std::string id;
      std::string title;
    };
    struct Addition {
      std::string albumId;
      std::vector<std::string> assetIds;
    };
    std::vector<NewAsset> assets;
    std::vector<NewAlbum> albums;
    std::vector<Addition> additions;
  };

  static SimulatedLibrary& shared();

  // Identifiers: a UUID with the platform's suffix ("/L0/001" assets, "/L0/040" albums).
  static std::string newAssetIdentifier();
  static std::string newAlbumIdentifier();

  std::string root() const;
  // Keeps the library in `path` (made when missing).
  void setRoot(std::string path);

  Permission permission() const;
  void setPermission(PHAuthorizationStatus status,
                     PHAuthorizationStatus answer = PHAuthorizationStatus::authorized,
                     Foundation::TimeInterval delay = 0);
  // Shows the prompt when the status is not determined (once while it is up); the answer
  // and the delay before it, or the current status at once.
  std::pair<PHAuthorizationStatus, Foundation::TimeInterval> prompt();
  // The owner has answered: a status still not determined moves to the answer.
  void settle(PHAuthorizationStatus answer);

  void failChanges(int count);
  Missing missing() const;
  void setMissing(Missing missing);

  // Applies the change unless a failure is injected or it does not hold together (a file
  // that is missing or, for a photo, not an image; an album or asset that does not exist).
  Foundation::Result<void, Foundation::NSError> apply(const Changes& changes);

  std::vector<AlbumRecord> albums() const;  // oldest first
  std::optional<AlbumRecord> album(std::string_view id) const;
  std::optional<AssetRecord> asset(std::string_view id) const;

  // A new temporary folder as root (the previous temporary one removed), everything
  // authorised as not determined and granted when asked, no faults.
  void reset();

 private:
  SimulatedLibrary();
  std::vector<AlbumRecord> albumsLocked() const;
  std::optional<AlbumRecord> albumLocked(std::string_view id) const;
  std::optional<AssetRecord> assetLocked(std::string_view id) const;
  std::uint64_t nextSequenceLocked() const;

  mutable std::mutex mutex_;
  std::string root_;
  std::string temporaryRoot_;
  Permission permission_;
  int failures_ = 0;
  Missing missing_;
};

}  // namespace Photos
