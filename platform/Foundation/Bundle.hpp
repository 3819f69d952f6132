#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/URL.hpp"

namespace Foundation {

// Swift's Bundle: a folder of resources. A bundle other than the main one is a folder holding
// an Info.json with {"CFBundleIdentifier": "..."}.
class Bundle : public std::enable_shared_from_this<Bundle> {
 public:
  // Swift `Bundle.main`: the executable's folder; its identifier is the host's to set.
  static const std::shared_ptr<Bundle>& main();
  static void setMainBundleIdentifier(std::optional<std::string> identifier);

  // Swift `Bundle(identifier:)`: the same object for the same bundle, or null. Looks in the
  // folders added with addSearchPath (latest first), then the build tree's resources, then
  // the installed ones; each folder may be a bundle itself or hold bundles.
  static std::shared_ptr<Bundle> forIdentifier(std::string_view identifier);
  static void addSearchPath(const std::string& directory);

  std::optional<std::string> bundleIdentifier() const;
  const std::string& bundlePath() const { return path_; }
  URL bundleURL() const { return URL::fileURLWithPath(path_, true); }

  // Swift `path(forResource:ofType:inDirectory:)`: "name.type" in the bundle's folder (or the
  // subdirectory of it), if it is a file. An empty type takes the name as the whole file name.
  std::optional<std::string> pathForResource(std::string_view name, std::string_view type,
                                             std::string_view subdirectory = {}) const;
  // Swift `url(forResource:withExtension:subdirectory:)`.
  std::optional<URL> urlForResource(std::string_view name, std::string_view extension,
                                    std::string_view subdirectory = {}) const;

  Bundle(std::string path, std::optional<std::string> identifier, bool isMain);

 private:
  const std::string path_;
  const std::optional<std::string> identifier_;  // fixed for every bundle but the main one
  const bool isMain_;
};

}  // namespace Foundation
