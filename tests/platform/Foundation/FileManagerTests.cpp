#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Foundation/Bundle.hpp"
#include "Foundation/FileManager.hpp"
#include "support/TemporaryFolder.hpp"

using zttest::TemporaryFolder;

using namespace Foundation;
namespace fs = std::filesystem;

namespace {
FileManager& fm() {
  return FileManager::defaultManager();
}

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};
}  // namespace

TEST(FileManager, PlacesAppDataByOverrideXdgAndBundleIdentifier) {
  TemporaryFolder folder;
  {
    ScopedEnv xdg("XDG_DATA_HOME", folder.path());
    EXPECT_EQ(fm().applicationDataDirectory(), folder / "zentrel-app");
    Bundle::setMainBundleIdentifier("com.example.host");
    EXPECT_EQ(fm().applicationDataDirectory(), folder / "com.example.host");
    Bundle::setMainBundleIdentifier(std::nullopt);
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", "relative/ignored");
    ScopedEnv home("HOME", folder.path());
    EXPECT_EQ(fm().applicationDataDirectory(), folder / ".local/share/zentrel-app");
  }
  FileManager::setApplicationDataDirectory(folder / "data");
  EXPECT_EQ(fm().applicationDataDirectory(), folder / "data");
  const auto caches = fm().cachesDirectory();
  EXPECT_TRUE(caches.isFileURL());
  EXPECT_EQ(caches.path(), folder / "data/Caches");
  EXPECT_TRUE(fs::is_directory(caches.path()));
  FileManager::setApplicationDataDirectory(std::nullopt);
}

TEST(FileManager, TemporaryDirectoryIsPrivateToTheUser) {
  TemporaryFolder root;
  ScopedEnv tmp("TMPDIR", root.path());
  const auto first = fm().temporaryDirectory();
  EXPECT_EQ(first.path(), root / ("zentrel-" + std::to_string(::geteuid())));
  EXPECT_EQ(first.absoluteString().back(), '/');
  EXPECT_EQ(fm().temporaryDirectory(), first);
  struct stat st {};
  ASSERT_EQ(::stat(first.path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // A folder of that name that others can enter is not trusted.
  TemporaryFolder otherRoot;
  const auto planted = otherRoot / ("zentrel-" + std::to_string(::geteuid()));
  ASSERT_EQ(::mkdir(planted.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(planted.c_str(), 0777), 0);
  ScopedEnv tmp2("TMPDIR", otherRoot.path());
  const auto safe = fm().temporaryDirectory();
  EXPECT_NE(safe.path(), planted);
  ASSERT_EQ(::stat(safe.path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(fm().temporaryDirectory(), safe);
}

TEST(FileManager, CreatesDirectoriesWithOrWithoutIntermediates) {
  TemporaryFolder folder;
  const auto nested = folder / "a/b/c";
  auto noParents = fm().createDirectory(nested, false);
  ASSERT_TRUE(noParents.isFailure());
  EXPECT_EQ(noParents.error().code, CocoaError::Code::FileNoSuchFile);

  ASSERT_TRUE(fm().createDirectory(nested, true).isSuccess());
  bool isDirectory = false;
  EXPECT_TRUE(fm().fileExists(nested, isDirectory));
  EXPECT_TRUE(isDirectory);
  EXPECT_TRUE(fm().createDirectory(nested, true).isSuccess());  // already there: fine

  auto again = fm().createDirectory(nested, false);
  ASSERT_TRUE(again.isFailure());
  EXPECT_EQ(again.error().code, CocoaError::Code::FileWriteFileExists);

  std::ofstream(folder / "file") << "x";
  EXPECT_TRUE(fm().createDirectory(folder / "file", true).isFailure());
  EXPECT_TRUE(fm().createDirectory(folder / "file/sub", true).isFailure());
  EXPECT_TRUE(
      fm().createDirectory(URL::fileURLWithPath(folder / "viaurl", true), false).isSuccess());
  EXPECT_TRUE(fm().fileExists(folder / "viaurl"));
  EXPECT_TRUE(fm().createDirectory(*URL::string("https://a.com/x"), true).isFailure());
}

TEST(FileManager, RemovesTreesAndLinksButNotLinkTargets) {
  TemporaryFolder folder;
  ASSERT_TRUE(fm().createDirectory(folder / "tree/inner", true).isSuccess());
  std::ofstream(folder / "tree/inner/f.txt") << "x";
  std::ofstream(folder / "target.txt") << "keep";
  fs::create_symlink(folder / "target.txt", folder / "link");

  EXPECT_TRUE(fm().removeItem(folder / "link").isSuccess());
  EXPECT_TRUE(fm().fileExists(folder / "target.txt"));
  EXPECT_TRUE(fm().removeItem(URL::fileURLWithPath(folder / "tree")).isSuccess());
  EXPECT_FALSE(fm().fileExists(folder / "tree"));

  auto missing = fm().removeItem(folder / "tree");
  ASSERT_TRUE(missing.isFailure());
  EXPECT_EQ(missing.error().code, CocoaError::Code::FileNoSuchFile);
  EXPECT_EQ(missing.error().localizedDescription(),
            "\u201Ctree\u201D couldn\u2019t be removed because it doesn\u2019t exist.");
}

TEST(FileManager, ListsFolderContentsAndReadsAttributes) {
  TemporaryFolder folder;
  std::ofstream(folder / "b.txt") << "12345";
  std::ofstream(folder / ".hidden") << "";
  ASSERT_TRUE(fm().createDirectory(folder / "a", false).isSuccess());

  const auto names = fm().contentsOfDirectory(folder.path());
  ASSERT_TRUE(names.isSuccess());
  EXPECT_EQ(names.value(), (std::vector<std::string>{".hidden", "a", "b.txt"}));
  const auto urls = fm().contentsOfDirectory(URL::fileURLWithPath(folder.path()));
  ASSERT_TRUE(urls.isSuccess());
  ASSERT_EQ(urls.value().size(), 3u);
  EXPECT_EQ(urls.value()[1].path(), folder / "a");
  EXPECT_EQ(urls.value()[1].absoluteString().back(), '/');
  EXPECT_EQ(urls.value()[2].lastPathComponent(), "b.txt");

  auto missing = fm().contentsOfDirectory(folder / "none");
  ASSERT_TRUE(missing.isFailure());
  EXPECT_EQ(missing.error().code, CocoaError::Code::FileReadNoSuchFile);
  EXPECT_TRUE(fm().contentsOfDirectory(folder / "b.txt").isFailure());

  const auto file = fm().attributesOfItem(folder / "b.txt");
  ASSERT_TRUE(file.isSuccess());
  EXPECT_EQ(file.value().size, 5u);
  EXPECT_EQ(file.value().type, FileAttributes::FileType::Regular);
  EXPECT_NEAR(file.value().modificationDate.timeIntervalSinceNow(), 0, 60);
  EXPECT_EQ(fm().attributesOfItem(folder / "a").value().type, FileAttributes::FileType::Directory);
  EXPECT_TRUE(fm().attributesOfItem(folder / "none").isFailure());
}
