// The kit's log lines as its own host app prints them, gathered from any thread so that the
// main thread can wait for one: an answer that is not JSON is logged just after it has been
// handed to the main queue. One at a time; leaving it puts the logger and the host back.
#pragma once

#include <mutex>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include <Foundation/Bundle.hpp>

#include "ZTLogger.hpp"

namespace zttest {

class LogTap {
 public:
  LogTap() : stream_(&buffer_), savedHost_(Foundation::Bundle::main()->bundleIdentifier()) {
    Foundation::Bundle::setMainBundleIdentifier("com.zentrel.ZentrelSDK.Example");
    ZentrelSDK::ZTLogger::resetApplicationCheck();
    ZentrelSDK::ZTLogger::setOutputStream(&stream_);
  }
  ~LogTap() {
    // Under the logger's lock: no thread writes here once this returns.
    ZentrelSDK::ZTLogger::setOutputStream(nullptr);
    Foundation::Bundle::setMainBundleIdentifier(savedHost_);
    ZentrelSDK::ZTLogger::resetApplicationCheck();
  }
  LogTap(const LogTap&) = delete;
  LogTap& operator=(const LogTap&) = delete;

  bool contains(std::string_view text) const {
    return buffer_.text().find(text) != std::string::npos;
  }

 private:
  class Buffer : public std::streambuf {
   public:
    std::string text() const {
      std::lock_guard lock(mutex_);
      return text_;
    }

   protected:
    int_type overflow(int_type c) override {
      if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
      std::lock_guard lock(mutex_);
      text_.push_back(traits_type::to_char_type(c));
      return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
      std::lock_guard lock(mutex_);
      text_.append(s, static_cast<std::size_t>(n));
      return n;
    }

   private:
    mutable std::mutex mutex_;
    std::string text_;
  };

  Buffer buffer_;
  std::ostream stream_;
  std::optional<std::string> savedHost_;
};

}  // namespace zttest
