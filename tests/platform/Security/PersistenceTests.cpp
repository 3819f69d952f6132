#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "SecurityTestSupport.hpp"

using namespace Security;
using PlatformTesting::Device;
using sectest::byServer;
using sectest::plainItem;
using sectest::protectedItem;
using sectest::readSecret;
using sectest::TemporaryFolder;

namespace {

unsigned modeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0xFFFF;
}

std::string contentsOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

using PersistedKeychain = sectest::DeviceTest;

TEST_F(PersistedKeychain, LooseModesAreTightened) {
  TemporaryFolder tmp;
  const auto folder = tmp / "keys";
  const auto file = folder + "/items.json";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  {
    KeychainStore store(file);
    EXPECT_EQ(modeOf(folder), 0700u);
    ASSERT_EQ(store.add(plainItem("a.example", "x"), nullptr), errSecSuccess);
  }
  ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  KeychainStore reread(file);
  ASSERT_TRUE(reread.isAvailable());
  EXPECT_EQ(modeOf(file), 0600u);
  EXPECT_EQ(modeOf(folder), 0700u);
  std::string secret;
  EXPECT_EQ(readSecret(reread, "a.example", secret), errSecSuccess);
}

TEST_F(PersistedKeychain, AnUnreadableKeychainIsUnavailableAndLeftAsItIs) {
  TemporaryFolder tmp;
  const auto file = tmp / "keys/items.json";
  {
    KeychainStore store(file);
    ASSERT_EQ(store.add(plainItem("a.example", "x"), nullptr), errSecSuccess);
  }
  const std::string good = contentsOf(file);
  const std::string damaged = good.substr(0, good.size() / 2);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << damaged;

  KeychainStore store(file);
  EXPECT_FALSE(store.isAvailable());
  std::string secret;
  EXPECT_EQ(readSecret(store, "a.example", secret), errSecNotAvailable);
  EXPECT_EQ(store.add(plainItem("b.example", "y"), nullptr), errSecNotAvailable);
  EXPECT_EQ(store.remove(byServer("a.example")), errSecNotAvailable);
  EXPECT_EQ(contentsOf(file), damaged);

  // A keychain file that is a link to elsewhere is not followed.
  std::ofstream(tmp / "elsewhere.json") << good;
  const auto linked = tmp / "linked/items.json";
  std::filesystem::create_directories(tmp / "linked");
  std::filesystem::create_symlink(tmp / "elsewhere.json", linked);
  EXPECT_FALSE(KeychainStore(linked).isAvailable());

  // Nor is a folder that belongs to someone else used.
  const auto foreign = tmp / "foreign";
  std::filesystem::create_directories(foreign);
  if (::chown(foreign.c_str(), 65534, 65534) == 0) {
    KeychainStore other(foreign + "/items.json");
    EXPECT_FALSE(other.isAvailable());
    EXPECT_EQ(other.add(plainItem("a.example", "x"), nullptr), errSecNotAvailable);
  }
}

TEST_F(PersistedKeychain, AChangeThatCannotBeWrittenIsNotMade) {
  TemporaryFolder tmp;
  const auto file = tmp / "keys/items.json";
  KeychainStore store(file);
  ASSERT_EQ(store.add(plainItem("a.example", "kept"), nullptr), errSecSuccess);
  // Something takes the file's place, so no write can land.
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);

  EXPECT_EQ(store.add(plainItem("b.example", "lost"), nullptr), errSecIO);
  EXPECT_EQ(store.remove(byServer("a.example")), errSecIO);
  SecDictionary change;
  change[kSecValueData] = Foundation::dataFromString("changed");
  EXPECT_EQ(store.update(byServer("a.example"), change), errSecIO);

  std::string secret;
  EXPECT_EQ(readSecret(store, "b.example", secret), errSecItemNotFound);
  ASSERT_EQ(readSecret(store, "a.example", secret), errSecSuccess);
  EXPECT_EQ(secret, "kept");
}

TEST(PersistedKeychainCrash, AKilledWriterLeavesACompleteKeychain) {
  TemporaryFolder tmp;
  const auto file = tmp / "keys/items.json";
  constexpr std::size_t kSize = 16 * 1024;
  {
    KeychainStore store(file);
    ASSERT_EQ(store.add(plainItem("crash.example", std::string(kSize, 'A')), nullptr),
              errSecSuccess);
  }

  // Each read must see one whole generation: every byte the same letter.
  const auto readGeneration = [&]() -> char {
    KeychainStore store(file);
    std::string secret;
    if (!store.isAvailable() || readSecret(store, "crash.example", secret) != errSecSuccess ||
        secret.size() != kSize || secret.find_first_not_of(secret[0]) != std::string::npos)
      return 0;
    return secret[0];
  };

  // Several writers in turn, each killed while it rewrites the item over and over; readers
  // meanwhile and afterwards must only ever see complete content.
  std::set<char> seen;
  int reads = 0;
  bool torn = false;
  for (int round = 0; round < 3 && !torn; ++round) {
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      KeychainStore store(file);
      SecDictionary change;
      for (unsigned generation = 1;; ++generation) {
        change[kSecValueData] =
            Foundation::Data(kSize, static_cast<std::uint8_t>('A' + generation % 26));
        if (store.update(byServer("crash.example"), change) != errSecSuccess) ::_exit(1);
      }
    }
    std::set<char> seenThisRound;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int roundReads = 0; !torn && (roundReads < 40 || seenThisRound.size() < 2) &&
                             std::chrono::steady_clock::now() < deadline;
         ++roundReads, ++reads) {
      const char generation = readGeneration();
      torn = generation == 0;
      seenThisRound.insert(generation);
      seen.insert(generation);
    }
    ::kill(writer, SIGKILL);
    int status = 0;
    ::waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));  // killed mid-work, not finished or failed
    torn = torn || readGeneration() == 0;
  }
  EXPECT_FALSE(torn) << "after " << reads << " reads";
  EXPECT_GE(seen.size(), 3u);  // the writers did replace the content meanwhile
}
