#include <cstdlib>
#include <sstream>
#include <thread>
#include <vector>

#include "LoggerCapture.hpp"

using ZentrelSDK::ZTLogger;

using ZTLoggerTest = LoggerCapture;

TEST_F(ZTLoggerTest, InsideEitherOwnHostAWarningIsTheTwoLineEntry) {
  for (const char* host : {kExampleHost, kCompanionHost}) {
    SCOPED_TRACE(host);
    runInsideHost(host);
    ZTLogger::warningLog("done", "/Users/dev/Project/Sample.file", "run()", 7, 13);
    EXPECT_EQ(taken(), "\u26A0\uFE0F Sample.file (func \"run()\" at line 7):\n done\n");
  }
}

TEST_F(ZTLoggerTest, EachLevelHasItsMarkAndNetworkTracesStaySilentAtTheStartingLevel) {
  runInsideHost(kExampleHost);
  ZTLogger::infoLog("i", "a/b/Info.cpp", "info()", 1, 2);
  EXPECT_EQ(taken(), "\u2139\uFE0F Info.cpp (func \"info()\" at line 1):\n i\n");
  ZTLogger::errorLog("e", "Error.cpp", "fail(with:)", 120, 2);
  EXPECT_EQ(taken(), "\u26D4\uFE0F Error.cpp (func \"fail(with:)\" at line 120):\n e\n");
  ZTLogger::networkLog("GET https://id.zentrel.com", "Net.cpp", "request()", 3, 4);
  EXPECT_EQ(taken(), "");
}

TEST_F(ZTLoggerTest, TheFileNameIsTheLastPieceOfThePathAndTheColumnIsNeverPrinted) {
  runInsideHost(kExampleHost);
  ZTLogger::errorLog("m", "Plain.cpp", "f()", 10, 98765);
  ZTLogger::errorLog("m", "/src/kit/Trailing.cpp//", "f()", 10, 98765);
  ZTLogger::errorLog("m", "//a//b//Doubled.cpp", "f()", 10, 98765);
  const std::string text = taken();
  EXPECT_EQ(text,
            "\u26D4\uFE0F Plain.cpp (func \"f()\" at line 10):\n m\n"
            "\u26D4\uFE0F Trailing.cpp (func \"f()\" at line 10):\n m\n"
            "\u26D4\uFE0F Doubled.cpp (func \"f()\" at line 10):\n m\n");
  EXPECT_EQ(text.find("98765"), std::string::npos);
}

TEST_F(ZTLoggerTest, DefaultLocationIsTheCallSite) {
  runInsideHost(kExampleHost);
  const int line = __LINE__ + 1;
  ZTLogger::errorLog("here");
  const std::string text = taken();
  // The bare function name, not the compiler's signature; a lambda names its enclosing function
  // where the library knows it.
  EXPECT_EQ(text, "\u26D4\uFE0F LoggerTests.cpp (func \"TestBody\" at line " +
                      std::to_string(line) + "):\n here\n");
  const int lambdaLine = __LINE__ + 1;
  [] { ZTLogger::errorLog("inside"); }();
#if defined(__cpp_lib_source_location)
  const std::string lambdaName = "TestBody";
#else
  const std::string lambdaName = "operator";  // all clang 14 tells of a lambda
#endif
  EXPECT_EQ(taken(), "\u26D4\uFE0F LoggerTests.cpp (func \"" + lambdaName + "\" at line " +
                         std::to_string(lambdaLine) + "):\n inside\n");
}

TEST_F(ZTLoggerTest, ElsewhereOnlyInformationPrintsAndThenAsTheBareMessage) {
  for (std::optional<std::string> host :
       {std::optional<std::string>("com.example.other"), std::optional<std::string>(),
        std::optional<std::string>("com.zentrel.zentrelsdk.example")}) {
    SCOPED_TRACE(host.value_or("(no identifier)"));
    runInsideHost(host);
    ZTLogger::warningLog("w", "F.cpp", "f()", 1, 1);
    ZTLogger::errorLog("e", "F.cpp", "f()", 1, 1);
    ZTLogger::networkLog("n", "F.cpp", "f()", 1, 1);
    EXPECT_EQ(taken(), "");
    ZTLogger::infoLog("just this", "F.cpp", "f()", 1, 1);
    EXPECT_EQ(taken(), "just this\n");
  }
}

TEST_F(ZTLoggerTest, TheHostAnswerIsTakenOnceUntilReset) {
  runInsideHost(kExampleHost);
  ZTLogger::errorLog("first", "F.cpp", "f()", 1, 1);
  EXPECT_NE(taken(), "");
  // Changing the identifier alone does not change the cached answer.
  Foundation::Bundle::setMainBundleIdentifier("com.example.other");
  ZTLogger::errorLog("second", "F.cpp", "f()", 1, 1);
  EXPECT_NE(taken(), "");
  ZTLogger::resetApplicationCheck();
  ZTLogger::errorLog("third", "F.cpp", "f()", 1, 1);
  EXPECT_EQ(taken(), "");
}

TEST_F(ZTLoggerTest, EntriesFromManyThreadsStayWhole) {
  runInsideHost(kExampleHost);
  constexpr int kThreads = 8;
  constexpr int kEach = 50;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kEach; ++i) {
        ZTLogger::warningLog("message " + std::to_string(t), "T.cpp", "worker()", t, 0);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  std::istringstream lines(taken());
  std::string location, message;
  int entries = 0;
  while (std::getline(lines, location) && std::getline(lines, message)) {
    ASSERT_EQ(location.rfind("\u26A0\uFE0F T.cpp (func \"worker()\" at line ", 0), 0u);
    const std::string thread = location.substr(location.rfind(' ') + 1);
    EXPECT_EQ(" message " + thread.substr(0, thread.size() - 2), message);
    ++entries;
  }
  EXPECT_EQ(entries, kThreads * kEach);
}

// disableLogs() cannot be undone, so it runs in a child process of its own.
TEST_F(ZTLoggerTest, AfterDisableLogsNothingIsWrittenAnywhere) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::ostringstream out;
        ZTLogger::setOutputStream(&out);
        ZTLogger::disableLogs();
        for (const char* host : {kExampleHost, "com.example.other"}) {
          Foundation::Bundle::setMainBundleIdentifier(host);
          ZTLogger::resetApplicationCheck();
          ZTLogger::infoLog("i", "F.cpp", "f()", 1, 1);
          ZTLogger::warningLog("w", "F.cpp", "f()", 1, 1);
          ZTLogger::errorLog("e", "F.cpp", "f()", 1, 1);
          ZTLogger::networkLog("n", "F.cpp", "f()", 1, 1);
        }
        ZTLogger::setOutputStream(nullptr);
        std::exit(out.str().empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}
