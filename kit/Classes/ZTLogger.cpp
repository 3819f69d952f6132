#include "ZTLogger.hpp"

#include <iostream>
#include <mutex>

#include <Foundation/Bundle.hpp>

namespace ZentrelSDK {

namespace {

// The kit's example host and the in-house companion app.
constexpr const char* kExampleHostIdentifier = "com.zentrel.ZentrelSDK.Example";
constexpr const char* kCompanionIdentifier = "com.zentrel.Companion";

constexpr const char* kInfoMark = "\u2139\uFE0F ";
constexpr const char* kWarningMark = "\u26A0\uFE0F ";
constexpr const char* kErrorMark = "\u26D4\uFE0F ";
constexpr const char* kNetworkMark = "";

std::atomic<std::ostream*> sink{nullptr};

// One entry is two lines; the lock keeps entries of different threads from interleaving.
std::mutex& writeMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

}  // namespace

std::atomic<ZTLogger::LogLevel> ZTLogger::showingLogsLevel{ZTLogger::LogLevel::info};
std::atomic<std::int8_t> ZTLogger::zentrelApplicationIsRunning{-1};

void ZTLogger::infoLog(const std::string& info, const std::string& fileName,
                       const std::string& functionName, int lineNumber, int /*columnNumber*/) {
  if (!checkLevel(LogLevel::info)) return;
  if (zentrelApplications()) {
    write(format(kInfoMark, info, fileName, functionName, lineNumber));
  } else {
    write(info);
  }
}

void ZTLogger::warningLog(const std::string& warning, const std::string& fileName,
                          const std::string& functionName, int lineNumber, int /*columnNumber*/) {
  logInOwnApps(LogLevel::warnings, kWarningMark, warning, fileName, functionName, lineNumber);
}

void ZTLogger::errorLog(const std::string& error, const std::string& fileName,
                        const std::string& functionName, int lineNumber, int /*columnNumber*/) {
  logInOwnApps(LogLevel::errors, kErrorMark, error, fileName, functionName, lineNumber);
}

void ZTLogger::networkLog(const std::string& info, const std::string& fileName,
                          const std::string& functionName, int lineNumber, int /*columnNumber*/) {
  logInOwnApps(LogLevel::all, kNetworkMark, info, fileName, functionName, lineNumber);
}

void ZTLogger::disableLogs() {
  showingLogsLevel.store(LogLevel::noLogs);
}

void ZTLogger::setOutputStream(std::ostream* stream) {
  // Waits for a line in progress, so the old stream may go once this returns.
  std::lock_guard lock(writeMutex());
  sink.store(stream);
}

void ZTLogger::resetApplicationCheck() {
  zentrelApplicationIsRunning.store(-1);
}

void ZTLogger::showNetworkTraces(bool show) {
  showingLogsLevel.store(show ? LogLevel::all : LogLevel::info);
}

void ZTLogger::logInOwnApps(LogLevel level, const char* mark, const std::string& message,
                            const std::string& fileName, const std::string& functionName,
                            int lineNumber) {
  if (!zentrelApplications()) return;
  if (!checkLevel(level)) return;
  write(format(mark, message, fileName, functionName, lineNumber));
}

bool ZTLogger::errorsPrint() {
  return checkLevel(LogLevel::errors) && zentrelApplications();
}

bool ZTLogger::checkLevel(LogLevel log) {
  return static_cast<int>(log) >= static_cast<int>(showingLogsLevel.load());
}

bool ZTLogger::zentrelApplications() {
  const auto cached = zentrelApplicationIsRunning.load();
  if (cached >= 0) return cached == 1;
  const auto identifier = Foundation::Bundle::main()->bundleIdentifier();
  const bool own =
      identifier && (*identifier == kExampleHostIdentifier || *identifier == kCompanionIdentifier);
  // Concurrent first calls compute the same answer, so a plain store is enough.
  zentrelApplicationIsRunning.store(own ? 1 : 0);
  return own;
}

std::string ZTLogger::getFileName(const std::string& fileName) {
  const auto end = fileName.find_last_not_of('/');
  if (end == std::string::npos) return "";
  const auto slash = fileName.rfind('/', end);
  const auto begin = slash == std::string::npos ? 0 : slash + 1;
  return fileName.substr(begin, end - begin + 1);
}

std::string ZTLogger::format(const char* mark, const std::string& message,
                             const std::string& fileName, const std::string& functionName,
                             int lineNumber) {
  return std::string(mark) + getFileName(fileName) + " (func \"" + functionName + "\" at line " +
         std::to_string(lineNumber) + "):\n " + message;
}

void ZTLogger::write(const std::string& text) {
  std::lock_guard lock(writeMutex());
  std::ostream* out = sink.load();
  if (!out) out = &std::cout;
  *out << text << '\n';
  out->flush();
}

std::string ZTLogger::callerName(const CallSite& location) {
  const std::string pretty = location.function_name();
  std::string name = pretty.substr(0, pretty.find('('));
  if (auto space = name.rfind(' '); space != std::string::npos) name.erase(0, space + 1);
  if (auto scope = name.rfind("::"); scope != std::string::npos) name.erase(0, scope + 2);
  return name.empty() ? pretty : name;
}

}  // namespace ZentrelSDK
