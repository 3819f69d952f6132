#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>

#include "Foundation/Data.hpp"
#include "support/LateCallbacks.hpp"
#include "support/TemporaryFolder.hpp"

using zttest::TemporaryFolder;

using namespace Foundation;

TEST(Base64, EncodesAndDecodesTheRfcVectors) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(base64EncodedString(dataFromString(plain)), encoded) << plain;
    const auto decoded = base64Decoded(encoded);
    ASSERT_TRUE(decoded.has_value()) << encoded;
    EXPECT_EQ(*decoded, dataFromString(plain));
  }
}

TEST(Base64, RejectsMalformedInput) {
  for (const char* bad : {"Zg", "Zg=", "Zg===", "Z===", "====", "Zm9v YmFy", "Zm9v\n", "Zm9*",
                          "=Zm9", "Zm=v", "Zm9vY", "Zh==", "Zm9=", "-_8="}) {
    EXPECT_FALSE(base64Decoded(bad).has_value()) << bad;
  }
}

TEST(DataText, ConvertsOnlyValidUtf8ToStrings) {
  EXPECT_EQ(stringFromUTF8(dataFromString("h\xC3\xA9llo \xE2\x9C\x93")),
            "h\xC3\xA9llo \xE2\x9C\x93");
  EXPECT_EQ(stringFromUTF8(Data{}), "");
  for (const Data& bad : {Data{0xC3}, Data{0xC0, 0x80}, Data{0xED, 0xA0, 0x80},
                          Data{0xF4, 0x90, 0x80, 0x80}, Data{0xFF}, Data{'a', 0x80}}) {
    EXPECT_FALSE(stringFromUTF8(bad).has_value());
  }
  EXPECT_EQ(stringFromBytes(Data{'a', 0xFF}), std::string("a\xFF"));
}

TEST(DataFile, ReadersNeverSeeAHalfWrittenFile) {
  TemporaryFolder folder;
  const auto path = folder / "swap.bin";
  const Data a(1 << 20, 'a');
  const Data b(1 << 19, 'b');
  ASSERT_TRUE(writeData(a, path).isSuccess());

  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  zttest::JoinedThread reader(
      [&] {
        while (!done) {
          auto read = dataContentsOf(path);
          if (read.isFailure() || (read.value() != a && read.value() != b)) ++torn;
        }
      },
      [&] { done = true; });
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(writeData(i % 2 ? a : b, path).isSuccess());
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);
}
