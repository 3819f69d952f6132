#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "Foundation/Data.hpp"
#include "Foundation/FileManager.hpp"
#include "Foundation/URL.hpp"
#include "support/TemporaryFolder.hpp"

using zttest::TemporaryFolder;

using namespace Foundation;

namespace {
Data bytesOf(std::string_view s) {
  return dataFromString(s);
}
}  // namespace

TEST(Base64, EncodesAndDecodesTheRfcVectors) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(base64EncodedString(bytesOf(plain)), encoded) << plain;
    const auto decoded = base64Decoded(encoded);
    ASSERT_TRUE(decoded.has_value()) << encoded;
    EXPECT_EQ(*decoded, bytesOf(plain));
  }
}

TEST(Base64, RoundTripsEveryByteValue) {
  Data all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<std::uint8_t>(i));
  for (std::size_t n = 0; n <= all.size(); n += 37) {
    const Data slice(all.begin(), all.begin() + static_cast<long>(n));
    EXPECT_EQ(base64Decoded(base64EncodedString(slice)), slice);
    EXPECT_EQ(base64URLDecoded(base64URLEncodedString(slice)), slice);
  }
  EXPECT_EQ(base64EncodedString(Data{0xFB, 0xFF}), "+/8=");
  EXPECT_EQ(base64URLEncodedString(Data{0xFB, 0xFF}), "-_8");
}

TEST(Base64, RejectsMalformedInput) {
  for (const char* bad : {"Zg", "Zg=", "Zg===", "Z===", "====", "Zm9v YmFy", "Zm9v\n", "Zm9*",
                          "=Zm9", "Zm=v", "Zm9vY", "Zh==", "Zm9=", "-_8="}) {
    EXPECT_FALSE(base64Decoded(bad).has_value()) << bad;
  }
}

TEST(Base64URL, MatchesThePkceExampleAndAcceptsOptionalPadding) {
  // The code verifier of RFC 7636, appendix B.
  const Data verifier{116, 24,  223, 180, 151, 153, 224, 37,  79, 250, 96, 125, 216, 173, 187, 186,
                      22,  212, 37,  77,  105, 214, 191, 240, 91, 88,  5,  88,  83,  132, 141, 121};
  EXPECT_EQ(base64URLEncodedString(verifier), "dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk");
  EXPECT_EQ(base64URLDecoded("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk"), verifier);

  EXPECT_EQ(base64URLDecoded("-_8"), (Data{0xFB, 0xFF}));
  EXPECT_EQ(base64URLDecoded("-_8="), (Data{0xFB, 0xFF}));
  for (const char* bad : {"+/8", "A", "-_8==", "-_8===", "Zh", "ab=c"}) {
    EXPECT_FALSE(base64URLDecoded(bad).has_value()) << bad;
  }
}

TEST(DataText, ConvertsOnlyValidUtf8ToStrings) {
  EXPECT_EQ(stringFromUTF8(bytesOf("h\xC3\xA9llo \xE2\x9C\x93")), "h\xC3\xA9llo \xE2\x9C\x93");
  EXPECT_EQ(stringFromUTF8(Data{}), "");
  for (const Data& bad : {Data{0xC3}, Data{0xC0, 0x80}, Data{0xED, 0xA0, 0x80},
                          Data{0xF4, 0x90, 0x80, 0x80}, Data{0xFF}, Data{'a', 0x80}}) {
    EXPECT_FALSE(stringFromUTF8(bad).has_value());
  }
  EXPECT_EQ(stringFromBytes(Data{'a', 0xFF}), std::string("a\xFF"));
}

TEST(DataFile, WritesAndReadsBackAndKeepsTheModeOfAReplacedFile) {
  TemporaryFolder folder;
  const auto path = folder / "blob.bin";
  Data content(300000);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_TRUE(writeData(content, path).isSuccess());
  auto read = dataContentsOf(path);
  ASSERT_TRUE(read.isSuccess());
  EXPECT_EQ(read.value(), content);

  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(writeData(bytesOf("short"), URL::fileURLWithPath(path)).isSuccess());
  EXPECT_EQ(dataContentsOf(URL::fileURLWithPath(path)).value(), bytesOf("short"));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(FileManager::defaultManager().contentsOfDirectory(folder.path()).value(),
            std::vector<std::string>{"blob.bin"});
}

TEST(DataFile, ReadersNeverSeeAHalfWrittenFile) {
  TemporaryFolder folder;
  const auto path = folder / "swap.bin";
  const Data a(1 << 20, 'a');
  const Data b(1 << 19, 'b');
  ASSERT_TRUE(writeData(a, path).isSuccess());

  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done) {
      auto read = dataContentsOf(path);
      if (read.isFailure() || (read.value() != a && read.value() != b)) ++torn;
    }
  });
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(writeData(i % 2 ? a : b, path).isSuccess());
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);
}

TEST(DataFile, ReportsFailuresAsCocoaErrors) {
  TemporaryFolder folder;
  auto missing = dataContentsOf(folder / "absent.txt");
  ASSERT_TRUE(missing.isFailure());
  EXPECT_EQ(missing.error().code, CocoaError::Code::FileReadNoSuchFile);
  EXPECT_EQ(
      missing.error().localizedDescription(),
      "The file \u201Cabsent.txt\u201D couldn\u2019t be opened because there is no such file.");

  auto noFolder = writeData(bytesOf("x"), folder / "nope/file.txt");
  ASSERT_TRUE(noFolder.isFailure());
  EXPECT_EQ(noFolder.error().code, CocoaError::Code::FileNoSuchFile);
  EXPECT_EQ(noFolder.error().localizedDescription(),
            "The folder \u201Cnope\u201D doesn\u2019t exist.");

  auto notFile = dataContentsOf(*URL::string("https://example.com/a.txt"));
  ASSERT_TRUE(notFile.isFailure());
  EXPECT_EQ(notFile.error().code, CocoaError::Code::FileReadUnsupportedScheme);
  EXPECT_TRUE(writeData(bytesOf("x"), *URL::string("https://example.com/a.txt")).isFailure());

  auto directory = dataContentsOf(folder.path());
  EXPECT_TRUE(directory.isFailure());
}
