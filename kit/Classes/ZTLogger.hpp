#pragma once

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>
#include <version>
#if defined(__cpp_lib_source_location)
#include <source_location>
#endif

namespace ZentrelSDK {

// Diagnostic lines on standard output. Warnings, errors and network traces print only inside
// the kit's own host apps; information messages print everywhere (bare outside them).
// Every operation is safe from any thread. Callers pass their own location; the defaults take
// the call site, as Swift's #file, #function, #line and #column do.
class ZTLogger {
 public:
#if defined(__cpp_lib_source_location)
  using CallSite = std::source_location;
#else
  // Where the library has no std::source_location (clang 14 with libstdc++ 12): the compiler's
  // bare function name, which inside a lambda is "operator()"; no column.
  struct CallSite {
    static constexpr CallSite current(const char* function = __builtin_FUNCTION()) noexcept {
      return CallSite{function};
    }
    constexpr const char* function_name() const noexcept { return function; }
    constexpr unsigned column() const noexcept { return 0; }
    const char* function;
  };
#endif

  ZTLogger() = default;

  static void infoLog(const std::string& info, const std::string& fileName = __builtin_FILE(),
                      const std::string& functionName = callerName(CallSite::current()),
                      int lineNumber = __builtin_LINE(),
                      int columnNumber = static_cast<int>(CallSite::current().column()));
  static void warningLog(const std::string& warning, const std::string& fileName = __builtin_FILE(),
                         const std::string& functionName = callerName(CallSite::current()),
                         int lineNumber = __builtin_LINE(),
                         int columnNumber = static_cast<int>(CallSite::current().column()));
  static void errorLog(const std::string& error, const std::string& fileName = __builtin_FILE(),
                       const std::string& functionName = callerName(CallSite::current()),
                       int lineNumber = __builtin_LINE(),
                       int columnNumber = static_cast<int>(CallSite::current().column()));
  static void networkLog(const std::string& info, const std::string& fileName = __builtin_FILE(),
                         const std::string& functionName = callerName(CallSite::current()),
                         int lineNumber = __builtin_LINE(),
                         int columnNumber = static_cast<int>(CallSite::current().column()));

  // The bare name of the calling function ("run" for a lambda inside ZTNetworkCore::run),
  // as Swift's #function names it, rather than the compiler's whole signature.
  static std::string callerName(const CallSite& location);

  // Whether an error line would print now (network traces print at most then): lets callers
  // skip building a trace nobody will see.
  static bool errorsPrint();

  // The host's switch: from now on nothing is logged.
  static void disableLogs();

  // Test hooks. The sink receives every line (nullptr: standard output); the stream must
  // outlive its use. Resetting the host check makes the next log call read the main bundle's
  // identifier again.
  static void setOutputStream(std::ostream* stream);
  static void resetApplicationCheck();
  // Lets network traces through, or goes back to the starting threshold.
  static void showNetworkTraces(bool show);

 private:
  enum class LogLevel : int { all = 0, info = 1, warnings = 2, errors = 3, noLogs = 4 };

  static bool checkLevel(LogLevel log);
  static bool zentrelApplications();
  static std::string getFileName(const std::string& fileName);
  static std::string format(const char* mark, const std::string& message,
                            const std::string& fileName, const std::string& functionName,
                            int lineNumber);
  static void write(const std::string& text);
  static void logInOwnApps(LogLevel level, const char* mark, const std::string& message,
                           const std::string& fileName, const std::string& functionName,
                           int lineNumber);

  static std::atomic<LogLevel> showingLogsLevel;
  // -1: not asked yet, 0: another app, 1: one of the kit's own apps.
  static std::atomic<std::int8_t> zentrelApplicationIsRunning;
};

}  // namespace ZentrelSDK
