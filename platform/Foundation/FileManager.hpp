#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/CocoaError.hpp"
#include "Foundation/Date.hpp"
#include "Foundation/Result.hpp"
#include "Foundation/URL.hpp"

namespace Foundation {

// Swift `attributesOfItem(atPath:)`, as a record.
struct FileAttributes {
  enum class FileType { Regular, Directory, SymbolicLink, Other };
  std::uint64_t size = 0;
  Date modificationDate;
  FileType type = FileType::Other;
  std::uint32_t posixPermissions = 0;
};

// Swift's FileManager. Failures come back as CocoaError values. Paths are file system paths;
// URL overloads take file URLs. Safe to use from any thread.
class FileManager {
 public:
  // Swift `FileManager.default`.
  static FileManager& defaultManager();

  // The app's data folder: the override if one is set, else
  // $XDG_DATA_HOME/<main bundle id or "zentrel-app"> (~/.local/share/... without it).
  // Not created here.
  static void setApplicationDataDirectory(std::optional<std::string> path);
  std::string applicationDataDirectory() const;

  // A private (0700) folder of this user under $TMPDIR or /tmp, created if missing. A folder
  // of that name that someone else owns or can enter is not used; a fresh one is made instead.
  URL temporaryDirectory() const;
  // <app data>/Caches/, created if missing (Swift `urls(for: .cachesDirectory, ...)`).
  URL cachesDirectory() const;

  bool fileExists(const std::string& path) const;
  bool fileExists(const std::string& path, bool& isDirectory) const;

  // An existing folder is an error (FileWriteFileExists) unless intermediates are asked for.
  Result<void, CocoaError> createDirectory(const std::string& path,
                                           bool withIntermediateDirectories) const;
  Result<void, CocoaError> createDirectory(const URL& url, bool withIntermediateDirectories) const;
  // A folder goes with everything in it; a symbolic link is removed, not followed.
  Result<void, CocoaError> removeItem(const std::string& path) const;
  Result<void, CocoaError> removeItem(const URL& url) const;
  // Names (hidden ones included, "." and ".." not), sorted; the URL form gives full URLs.
  Result<std::vector<std::string>, CocoaError> contentsOfDirectory(const std::string& path) const;
  Result<std::vector<URL>, CocoaError> contentsOfDirectory(const URL& url) const;
  // Of the item itself (a symbolic link is not followed).
  Result<FileAttributes, CocoaError> attributesOfItem(const std::string& path) const;

 private:
  FileManager() = default;
};

}  // namespace Foundation
