#include "Foundation/FileManager.hpp"

#include <dirent.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "Foundation/Bundle.hpp"

namespace Foundation {

namespace fs = std::filesystem;

namespace {

struct State {
  std::mutex mutex;
  std::optional<std::string> dataDirectoryOverride;
  std::optional<std::string> fallbackTemporary;  // made once if the usual folder is unsafe
};

State& state() {
  static auto* s = new State;
  return *s;
}

std::string homeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

// A folder this user owns that no one else can enter.
bool isPrivateFolder(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 077) == 0;
}

std::string withSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

Result<void, CocoaError> removalFailure(int err, const std::string& path) {
  return failure(CocoaError::fromErrno(err, CocoaError::Operation::Remove, path));
}

std::optional<std::string> filePath(const URL& url) {
  if (!url.isFileURL()) return std::nullopt;
  return url.path();
}

CocoaError unsupported(const URL& url, CocoaError::Operation op) {
  return CocoaError{op == CocoaError::Operation::Read
                        ? CocoaError::Code::FileReadUnsupportedScheme
                        : CocoaError::Code::FileWriteUnsupportedScheme,
                    op, url.absoluteString(), 0};
}

}  // namespace

FileManager& FileManager::defaultManager() {
  static FileManager manager;
  return manager;
}

void FileManager::setApplicationDataDirectory(std::optional<std::string> path) {
  auto& s = state();
  std::lock_guard lock(s.mutex);
  s.dataDirectoryOverride = std::move(path);
}

std::string FileManager::applicationDataDirectory() const {
  {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    if (s.dataDirectoryOverride) return *s.dataDirectoryOverride;
  }
  fs::path base;
  // The XDG rules ignore a relative XDG_DATA_HOME.
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else {
    base = fs::path(homeDirectory()) / ".local" / "share";
  }
  const auto id = Bundle::main()->bundleIdentifier();
  return (base / (id && !id->empty() ? *id : "zentrel-app")).string();
}

URL FileManager::temporaryDirectory() const {
  std::string root = "/tmp";
  if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp == '/') root = tmp;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  const std::string path = root + "/zentrel-" + std::to_string(::geteuid());
  ::mkdir(path.c_str(), 0700);
  if (isPrivateFolder(path)) return URL::fileURLWithPath(path, true);

  auto& s = state();
  std::lock_guard lock(s.mutex);
  if (!s.fallbackTemporary || !isPrivateFolder(*s.fallbackTemporary)) {
    std::string tmpl = path + "-XXXXXX";
    if (::mkdtemp(tmpl.data())) {
      s.fallbackTemporary = tmpl;
    } else {
      s.fallbackTemporary = path;  // nothing better can be made; callers' writes will report
    }
  }
  return URL::fileURLWithPath(*s.fallbackTemporary, true);
}

URL FileManager::cachesDirectory() const {
  const auto path = (fs::path(applicationDataDirectory()) / "Caches").string();
  std::error_code ec;
  fs::create_directories(path, ec);
  return URL::fileURLWithPath(withSlash(path), true);
}

bool FileManager::fileExists(const std::string& path) const {
  bool isDirectory = false;
  return fileExists(path, isDirectory);
}

bool FileManager::fileExists(const std::string& path, bool& isDirectory) const {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    isDirectory = false;
    return false;
  }
  isDirectory = S_ISDIR(st.st_mode);
  return true;
}

Result<void, CocoaError> FileManager::createDirectory(const std::string& path,
                                                      bool withIntermediateDirectories) const {
  using Op = CocoaError::Operation;
  if (path.empty())
    return failure(CocoaError{CocoaError::Code::FileWriteInvalidFileName, Op::Write, path, 0});
  if (!withIntermediateDirectories) {
    if (::mkdir(path.c_str(), 0777) != 0)
      return failure(CocoaError::fromErrno(errno, Op::Write, path));
    return success();
  }
  std::error_code ec;
  fs::create_directories(path, ec);
  if (ec) return failure(CocoaError::fromErrno(ec.value(), Op::Write, path));
  bool isDirectory = false;
  if (!fileExists(path, isDirectory) || !isDirectory)
    return failure(CocoaError::fromErrno(EEXIST, Op::Write, path));
  return success();
}

Result<void, CocoaError> FileManager::createDirectory(const URL& url,
                                                      bool withIntermediateDirectories) const {
  const auto path = filePath(url);
  if (!path) return failure(unsupported(url, CocoaError::Operation::Write));
  return createDirectory(*path, withIntermediateDirectories);
}

Result<void, CocoaError> FileManager::removeItem(const std::string& path) const {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return removalFailure(errno, path);
  std::error_code ec;
  fs::remove_all(path, ec);
  if (ec) return removalFailure(ec.value(), path);
  return success();
}

Result<void, CocoaError> FileManager::removeItem(const URL& url) const {
  const auto path = filePath(url);
  if (!path) return failure(unsupported(url, CocoaError::Operation::Remove));
  return removeItem(*path);
}

Result<std::vector<std::string>, CocoaError> FileManager::contentsOfDirectory(
    const std::string& path) const {
  DIR* dir = ::opendir(path.c_str());
  if (!dir) return failure(CocoaError::fromErrno(errno, CocoaError::Operation::Read, path));
  std::vector<std::string> names;
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name != "." && name != "..") names.emplace_back(name);
  }
  const int err = errno;
  ::closedir(dir);
  if (err != 0) return failure(CocoaError::fromErrno(err, CocoaError::Operation::Read, path));
  std::sort(names.begin(), names.end());
  return success(std::move(names));
}

Result<std::vector<URL>, CocoaError> FileManager::contentsOfDirectory(const URL& url) const {
  const auto path = filePath(url);
  if (!path) return failure(unsupported(url, CocoaError::Operation::Read));
  auto names = contentsOfDirectory(*path);
  if (names.isFailure()) return failure(std::move(names).error());
  std::vector<URL> urls;
  urls.reserve(names.value().size());
  const auto folder = URL::fileURLWithPath(*path, true);
  for (const auto& name : names.value()) urls.push_back(folder.appendingPathComponent(name));
  return success(std::move(urls));
}

Result<FileAttributes, CocoaError> FileManager::attributesOfItem(const std::string& path) const {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0)
    return failure(CocoaError::fromErrno(errno, CocoaError::Operation::Read, path));
  FileAttributes attributes;
  attributes.size = static_cast<std::uint64_t>(st.st_size);
  attributes.modificationDate = Date::timeIntervalSince1970(
      static_cast<double>(st.st_mtim.tv_sec) + static_cast<double>(st.st_mtim.tv_nsec) / 1e9);
  attributes.posixPermissions = st.st_mode & 07777;
  if (S_ISREG(st.st_mode)) {
    attributes.type = FileAttributes::FileType::Regular;
  } else if (S_ISDIR(st.st_mode)) {
    attributes.type = FileAttributes::FileType::Directory;
  } else if (S_ISLNK(st.st_mode)) {
    attributes.type = FileAttributes::FileType::SymbolicLink;
  } else {
    attributes.type = FileAttributes::FileType::Other;
  }
  return success(attributes);
}

}  // namespace Foundation
