#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <Foundation/InputStream.hpp>
#include <Foundation/NSError.hpp>
#include <Foundation/Result.hpp>
#include <Foundation/URL.hpp>

#include "ZTNetworkCore/ZTNetworkErrors.hpp"

namespace ZentrelSDK {

// The upload's multipart body: one part "file", "file.jpg", image/jpeg. The framing comes from
// memory and the image straight from its file as the body is sent, so nothing is copied whole.
// Read on the session's thread only; it can go back to any offset, so a redirect or a lost
// connection can send it again.
class ZTMultipartFileStream final : public Foundation::InputStream {
 public:
  // Opens the image on the calling thread, so a missing or unreadable file fails at once.
  static Foundation::Result<std::shared_ptr<ZTMultipartFileStream>, Error> make(
      const Foundation::URL& fileURL, const std::string& boundary);

  ~ZTMultipartFileStream() override;

  // The whole body's size, for Content-Length.
  std::int64_t length() const;

  std::ptrdiff_t read(std::uint8_t* buffer, std::size_t maxLength) override;
  std::optional<Foundation::NSError> streamError() const override { return error_; }
  bool setProperty(std::int64_t value, PropertyKey key) override;

 private:
  ZTMultipartFileStream(std::string boundary, int fd, std::int64_t fileSize);

  const std::string prefix_;
  const std::string suffix_;
  const int fd_;
  const std::int64_t fileSize_;
  std::int64_t offset_ = 0;
  std::optional<Foundation::NSError> error_;
};

}  // namespace ZentrelSDK
