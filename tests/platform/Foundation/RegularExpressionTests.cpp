#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "Foundation/NSRegularExpression.hpp"

using Foundation::matchesWholePattern;

TEST(MatchesWholePattern, RequiresTheWholeTextToMatch) {
  const char* email = "[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,64}";
  EXPECT_TRUE(matchesWholePattern("user1@example.com", email));
  EXPECT_FALSE(matchesWholePattern("user1@example.com ", email));
  EXPECT_FALSE(matchesWholePattern("say user1@example.com", email));
  EXPECT_FALSE(matchesWholePattern("user1@example", email));
  EXPECT_TRUE(matchesWholePattern("123456", "[0-9]{6}"));
  EXPECT_FALSE(matchesWholePattern("1234567", "[0-9]{6}"));
  EXPECT_FALSE(matchesWholePattern("abc", "b"));
  EXPECT_TRUE(matchesWholePattern("", ".*"));
}

TEST(MatchesWholePattern, AnInvalidPatternMatchesNothing) {
  EXPECT_FALSE(matchesWholePattern("(", "("));
  EXPECT_FALSE(matchesWholePattern("a", "[a"));
  EXPECT_FALSE(matchesWholePattern("a", "a{2,1}"));
}

TEST(MatchesWholePattern, IsSafeFromManyThreads) {
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        const auto pattern = "[a-z]{" + std::to_string(1 + (i + t) % 40) + "}";
        const std::string text(static_cast<std::size_t>(1 + (i + t) % 40), 'q');
        if (!matchesWholePattern(text, pattern) || matchesWholePattern(text + "1", pattern))
          ++wrong;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong, 0);
}
