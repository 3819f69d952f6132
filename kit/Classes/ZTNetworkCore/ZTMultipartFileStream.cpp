#include "ZTNetworkCore/ZTMultipartFileStream.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <Foundation/CocoaError.hpp>

namespace ZentrelSDK {

namespace {

std::ptrdiff_t copyFrom(const std::string& text, std::int64_t from, std::uint8_t* out,
                        std::size_t room) {
  const auto n = std::min(text.size() - static_cast<std::size_t>(from), room);
  std::memcpy(out, text.data() + from, n);
  return static_cast<std::ptrdiff_t>(n);
}

}  // namespace

Foundation::Result<std::shared_ptr<ZTMultipartFileStream>, Error> ZTMultipartFileStream::make(
    const Foundation::URL& fileURL, const std::string& boundary) {
  const std::string path = fileURL.isFileURL() ? fileURL.path() : fileURL.absoluteString();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int err = fd < 0 ? errno : EISDIR;
    if (fd >= 0) ::close(fd);
    return Foundation::failure(Error(
        Foundation::CocoaError::fromErrno(err, Foundation::CocoaError::Operation::Read, path)));
  }
  return Foundation::success(std::shared_ptr<ZTMultipartFileStream>(
      new ZTMultipartFileStream(boundary, fd, info.st_size)));
}

ZTMultipartFileStream::ZTMultipartFileStream(std::string boundary, int fd, std::int64_t fileSize)
    : prefix_("--" + boundary +
              "\r\n"
              "Content-Disposition: form-data; name=\"file\"; filename=\"file.jpg\"\r\n"
              "Content-Type: image/jpeg\r\n\r\n"),
      suffix_("\r\n--" + boundary + "--\r\n"),
      fd_(fd),
      fileSize_(fileSize) {}

ZTMultipartFileStream::~ZTMultipartFileStream() {
  ::close(fd_);
}

std::int64_t ZTMultipartFileStream::length() const {
  return static_cast<std::int64_t>(prefix_.size() + suffix_.size()) + fileSize_;
}

std::ptrdiff_t ZTMultipartFileStream::read(std::uint8_t* buffer, std::size_t maxLength) {
  std::size_t done = 0;
  while (done < maxLength && offset_ < length()) {
    std::ptrdiff_t got = 0;
    const auto prefixSize = static_cast<std::int64_t>(prefix_.size());
    if (offset_ < prefixSize) {
      got = copyFrom(prefix_, offset_, buffer + done, maxLength - done);
    } else if (offset_ < prefixSize + fileSize_) {
      const auto want = std::min<std::int64_t>(static_cast<std::int64_t>(maxLength - done),
                                               prefixSize + fileSize_ - offset_);
      got = ::pread(fd_, buffer + done, static_cast<std::size_t>(want),
                    static_cast<off_t>(offset_ - prefixSize));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        // A file that shrank since it was opened would send a short, corrupt body.
        error_ = Foundation::NSError("NSPOSIXErrorDomain", got < 0 ? errno : EIO);
        return -1;
      }
    } else {
      got = copyFrom(suffix_, offset_ - prefixSize - fileSize_, buffer + done, maxLength - done);
    }
    offset_ += got;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::ptrdiff_t>(done);
}

bool ZTMultipartFileStream::setProperty(std::int64_t value, PropertyKey key) {
  if (key != PropertyKey::fileCurrentOffsetKey || value < 0 || value > length()) return false;
  offset_ = value;
  error_.reset();
  return true;
}

}  // namespace ZentrelSDK
