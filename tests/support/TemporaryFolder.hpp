#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

// A fresh folder for one test, removed with everything in it afterwards.
namespace zttest {

class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zt-test-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data()) ? tmpl : std::string();
  }
  ~TemporaryFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Points $TMPDIR at a folder of this program's own, once: other programs on the machine
// use the shared one's cache folders too.
inline bool useOwnTemporaryDirectory() {
  static const TemporaryFolder folder;
  static const bool moved = ::setenv("TMPDIR", folder.path().c_str(), 1) == 0;
  return moved;
}

}  // namespace zttest
