#include "Foundation/Bundle.hpp"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>
#include <vector>

#include <nlohmann/json.hpp>

namespace Foundation {

namespace fs = std::filesystem;

namespace {

struct Registry {
  std::mutex mutex;
  std::optional<std::string> mainIdentifier;
  std::vector<std::string> searchPaths;                   // latest last
  std::map<std::string, std::shared_ptr<Bundle>> byPath;  // one object per bundle folder
};

Registry& registry() {
  static auto* r = new Registry;  // outlives static destructors of other users
  return *r;
}

std::optional<std::string> identifierIn(const fs::path& folder) {
  std::ifstream in(folder / "Info.json");
  if (!in) return std::nullopt;
  const auto info = nlohmann::json::parse(in, nullptr, false);
  if (!info.is_object()) return std::nullopt;
  const auto it = info.find("CFBundleIdentifier");
  if (it == info.end() || !it->is_string()) return std::nullopt;
  return it->get<std::string>();
}

// The folder of the library this code is in.
fs::path libraryFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&libraryFolder), &info) == 0 || !info.dli_fname)
    return {};
  std::error_code ec;
  const auto library = fs::canonical(info.dli_fname, ec);
  return ec ? fs::path(info.dli_fname).parent_path() : library.parent_path();
}

std::optional<fs::path> findBundle(const fs::path& root, std::string_view identifier) {
  std::error_code ec;
  if (root.empty() || !fs::is_directory(root, ec)) return std::nullopt;
  if (identifierIn(root) == identifier) return root;
  std::vector<fs::path> children;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec)) children.push_back(it->path());
  }
  std::sort(children.begin(), children.end());  // a stable answer if two bundles share an id
  for (const auto& child : children) {
    if (identifierIn(child) == identifier) return child;
  }
  return std::nullopt;
}

std::string executableFolder() {
  std::error_code ec;
  const auto exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec).string();
  return exe.parent_path().string();
}

}  // namespace

Bundle::Bundle(std::string path, std::optional<std::string> identifier, bool isMain)
    : path_(std::move(path)), identifier_(std::move(identifier)), isMain_(isMain) {}

const std::shared_ptr<Bundle>& Bundle::main() {
  // Never destroyed: objects torn down at exit (the kit's loggers among them) may still ask.
  static const auto* bundle =
      new std::shared_ptr<Bundle>(std::make_shared<Bundle>(executableFolder(), std::nullopt, true));
  return *bundle;
}

void Bundle::setMainBundleIdentifier(std::optional<std::string> identifier) {
  auto& r = registry();
  std::lock_guard lock(r.mutex);
  r.mainIdentifier = std::move(identifier);
}

void Bundle::addSearchPath(const std::string& directory) {
  auto& r = registry();
  std::lock_guard lock(r.mutex);
  r.searchPaths.push_back(directory);
}

std::shared_ptr<Bundle> Bundle::forIdentifier(std::string_view identifier) {
  auto& r = registry();
  std::vector<std::string> roots;
  {
    std::lock_guard lock(r.mutex);
    if (r.mainIdentifier == identifier) return main();
    roots.assign(r.searchPaths.rbegin(), r.searchPaths.rend());
  }
  static const fs::path beside = libraryFolder();
  if (!beside.empty()) {
    roots.push_back((beside / ZT_BUNDLE_FROM_INSTALLED_LIB).lexically_normal().string());
    roots.push_back((beside / ZT_BUNDLE_FROM_BUILD_LIB).lexically_normal().string());
  }
  for (const auto& root : roots) {
    const auto found = findBundle(root, identifier);
    if (!found) continue;
    std::error_code ec;
    auto canonical = fs::weakly_canonical(*found, ec);
    const std::string path = (ec ? *found : canonical).string();
    std::lock_guard lock(r.mutex);
    auto& slot = r.byPath[path];
    if (!slot || slot->bundleIdentifier() != identifier)
      slot = std::make_shared<Bundle>(path, std::string(identifier), false);
    return slot;
  }
  return nullptr;
}

std::optional<std::string> Bundle::bundleIdentifier() const {
  if (!isMain_) return identifier_;
  auto& r = registry();
  std::lock_guard lock(r.mutex);
  return r.mainIdentifier;
}

std::optional<std::string> Bundle::pathForResource(std::string_view name, std::string_view type,
                                                   std::string_view subdirectory) const {
  if (name.empty()) return std::nullopt;
  std::string file(name);
  if (!type.empty()) {
    if (type.front() != '.') file += '.';
    file += type;
  }
  // A resource name is a file name, not a way out of the bundle.
  if (file.find('/') != std::string::npos || file == "." || file == "..") return std::nullopt;
  const auto sub = fs::path(subdirectory).lexically_normal();
  if (sub.is_absolute() || (!sub.empty() && *sub.begin() == "..")) return std::nullopt;
  const auto path = fs::path(path_) / sub / file;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  return path.string();
}

std::optional<URL> Bundle::urlForResource(std::string_view name, std::string_view extension,
                                          std::string_view subdirectory) const {
  auto path = pathForResource(name, extension, subdirectory);
  if (!path) return std::nullopt;
  return URL::fileURLWithPath(*path, false);
}

}  // namespace Foundation
