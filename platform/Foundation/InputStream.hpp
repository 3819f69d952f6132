#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "Foundation/NSError.hpp"

namespace Foundation {

// Swift's InputStream as a request body (`URLRequest::httpBodyStream`): a subclass gives the
// bytes. The session opens it, reads it to its end on the session's thread and closes it; once
// handed to a task nothing else may read it. To send the body again (a redirect that keeps it,
// a safe method's connection lost while sending) the session sets the offset back to zero, which
// a stream that cannot seek refuses: the task then fails with NSURLErrorRequestBodyStreamExhausted.
// A method that is not safe to repeat is never sent again: its lost connection fails the task
// with NSURLErrorNetworkConnectionLost.
class InputStream {
 public:
  enum class PropertyKey { fileCurrentOffsetKey };

  InputStream() = default;
  virtual ~InputStream() = default;
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  virtual void open() {}
  virtual void close() {}
  // Up to `maxLength` bytes into `buffer`: how many were read, 0 at the end, -1 on a failure
  // (streamError() tells which).
  virtual std::ptrdiff_t read(std::uint8_t* buffer, std::size_t maxLength) = 0;
  virtual std::optional<NSError> streamError() const { return std::nullopt; }
  // Swift `setProperty(_:forKey:)` with the absolute offset; false when the stream refuses it.
  virtual bool setProperty(std::int64_t /*value*/, PropertyKey /*key*/) { return false; }
};

}  // namespace Foundation
