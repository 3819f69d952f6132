#pragma once

#include <atomic>
#include <cstdint>
#include <ostream>
#include <source_location>
#include <string>

namespace ZentrelSDK {

// Diagnostic lines on standard output. Warnings, errors and network traces print only inside
// the kit's own host apps; information messages print everywhere (bare outside them).
// Every operation is safe from any thread. Callers pass their own location; the defaults take
// the call site, as Swift's #file, #function, #line and #column do.
class ZTLogger {
 public:
  ZTLogger() = default;

  static void infoLog(
      const std::string& info,
      const std::string& fileName = std::source_location::current().file_name(),
      const std::string& functionName = callerName(std::source_location::current()),
      int lineNumber = static_cast<int>(std::source_location::current().line()),
      int columnNumber = static_cast<int>(std::source_location::current().column()));
  static void warningLog(
      const std::string& warning,
      const std::string& fileName = std::source_location::current().file_name(),
      const std::string& functionName = callerName(std::source_location::current()),
      int lineNumber = static_cast<int>(std::source_location::current().line()),
      int columnNumber = static_cast<int>(std::source_location::current().column()));
  static void errorLog(
      const std::string& error,
      const std::string& fileName = std::source_location::current().file_name(),
      const std::string& functionName = callerName(std::source_location::current()),
      int lineNumber = static_cast<int>(std::source_location::current().line()),
      int columnNumber = static_cast<int>(std::source_location::current().column()));
  static void networkLog(
      const std::string& info,
      const std::string& fileName = std::source_location::current().file_name(),
      const std::string& functionName = callerName(std::source_location::current()),
      int lineNumber = static_cast<int>(std::source_location::current().line()),
      int columnNumber = static_cast<int>(std::source_location::current().column()));

  // The bare name of the calling function ("run" for a lambda inside ZTNetworkCore::run),
  // as Swift's #function names it, rather than the compiler's whole signature.
  static std::string callerName(const std::source_location& location);

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
