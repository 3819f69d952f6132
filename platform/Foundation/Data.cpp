#include "Foundation/Data.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <filesystem>

#include "Foundation/URL.hpp"

namespace Foundation {

namespace {

constexpr char kStandardAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kURLAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string encode(Bytes bytes, const char* alphabet, bool pad) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    out += alphabet[(v >> 6) & 63];
    out += alphabet[v & 63];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest == 1) {
    const std::uint32_t v = bytes[i] << 16;
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    if (pad) out += "==";
  } else if (rest == 2) {
    const std::uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8);
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    out += alphabet[(v >> 6) & 63];
    if (pad) out += '=';
  }
  return out;
}

using DecodeTable = std::array<std::int8_t, 256>;

constexpr DecodeTable makeTable(const char* alphabet) {
  DecodeTable t{};
  for (auto& e : t) e = -1;
  for (int i = 0; i < 64; ++i)
    t[static_cast<unsigned char>(alphabet[i])] = static_cast<std::int8_t>(i);
  return t;
}

constexpr DecodeTable kStandardTable = makeTable(kStandardAlphabet);
constexpr DecodeTable kURLTable = makeTable(kURLAlphabet);

// `text` without padding; its length mod 4 must not be 1.
std::optional<Data> decodeUnpadded(std::string_view text, const DecodeTable& table) {
  if (text.size() % 4 == 1) return std::nullopt;
  Data out;
  out.reserve(text.size() / 4 * 3 + 2);
  std::uint32_t acc = 0;
  int bits = 0;
  for (const char c : text) {
    const int v = table[static_cast<unsigned char>(c)];
    if (v < 0) return std::nullopt;
    acc = (acc << 6) | static_cast<std::uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<std::uint8_t>((acc >> bits) & 0xFF));
    }
  }
  // Leftover bits of the last symbol must be zero, so each byte string has one encoding.
  if (bits > 0 && (acc & ((1u << bits) - 1)) != 0) return std::nullopt;
  return out;
}

std::string_view stripPadding(std::string_view text, bool& ok) {
  std::size_t pad = 0;
  while (pad < text.size() && pad < 3 && text[text.size() - 1 - pad] == '=') ++pad;
  ok = pad <= 2 && text.size() % 4 == 0;
  return text.substr(0, text.size() - pad);
}

std::string pathOf(const URL& url, bool& ok) {
  ok = url.isFileURL();
  return ok ? url.path() : url.absoluteString();
}

}  // namespace

std::string base64EncodedString(Bytes bytes) {
  return encode(bytes, kStandardAlphabet, true);
}

std::optional<Data> base64Decoded(std::string_view text) {
  bool ok = false;
  const auto body = stripPadding(text, ok);
  if (!ok) return std::nullopt;
  return decodeUnpadded(body, kStandardTable);
}

std::string base64URLEncodedString(Bytes bytes) {
  return encode(bytes, kURLAlphabet, false);
}

std::optional<Data> base64URLDecoded(std::string_view text) {
  if (!text.empty() && text.back() == '=') {
    bool ok = false;
    const auto body = stripPadding(text, ok);
    if (!ok) return std::nullopt;
    return decodeUnpadded(body, kURLTable);
  }
  return decodeUnpadded(text, kURLTable);
}

Data dataFromString(std::string_view text) {
  return Data(text.begin(), text.end());
}

std::string stringFromBytes(Bytes bytes) {
  return std::string(bytes.begin(), bytes.end());
}

std::optional<std::string> stringFromUTF8(Bytes bytes) {
  std::string s(bytes.begin(), bytes.end());
  if (!isValidUTF8(s)) return std::nullopt;
  return s;
}

bool isValidUTF8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int len = 0;
    std::uint32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (end - p < len) return false;
    for (int i = 1; i < len; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
      return false;
    p += len;
  }
  return true;
}

Result<Data, CocoaError> dataContentsOf(const std::string& path) {
  using Op = CocoaError::Operation;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return failure(CocoaError::fromErrno(errno, Op::Read, path));
  Data data;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    data.reserve(static_cast<std::size_t>(st.st_size));
  std::array<std::uint8_t, 64 * 1024> chunk{};
  for (;;) {
    const ssize_t n = ::read(fd, chunk.data(), chunk.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return failure(CocoaError::fromErrno(err, Op::Read, path));
    }
    data.insert(data.end(), chunk.begin(), chunk.begin() + n);
  }
  ::close(fd);
  return success(std::move(data));
}

Result<Data, CocoaError> dataContentsOf(const URL& fileURL) {
  bool ok = false;
  auto path = pathOf(fileURL, ok);
  if (!ok)
    return failure(CocoaError{CocoaError::Code::FileReadUnsupportedScheme,
                              CocoaError::Operation::Read, path, 0});
  return dataContentsOf(path);
}

Result<void, CocoaError> writeData(Bytes bytes, const std::string& path) {
  using Op = CocoaError::Operation;
  const std::filesystem::path target(path);
  auto dir = target.parent_path();
  if (dir.empty()) dir = ".";
  if (target.filename().empty())
    return failure(CocoaError{CocoaError::Code::FileWriteInvalidFileName, Op::Write, path, 0});
  // Created with the usual mode (umask applies); a replaced file keeps its own mode.
  std::string tmpl;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    static std::atomic<std::uint64_t> counter{0};
    tmpl = (dir / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                   std::to_string(counter.fetch_add(1)) + ".tmp"))
               .string();
    fd = ::open(tmpl.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt > 100))
      return failure(CocoaError::fromErrno(errno, Op::Write, path));
  }

  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmpl.c_str());
    return failure(CocoaError::fromErrno(err, Op::Write, path));
  };
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && ::fchmod(fd, st.st_mode & 07777) != 0) return fail(errno);

  const std::uint8_t* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(tmpl.c_str());
    return failure(CocoaError::fromErrno(err, Op::Write, path));
  }
  if (::rename(tmpl.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(tmpl.c_str());
    return failure(CocoaError::fromErrno(err, Op::Write, path));
  }
  return success();
}

Result<void, CocoaError> writeData(Bytes bytes, const URL& fileURL) {
  bool ok = false;
  auto path = pathOf(fileURL, ok);
  if (!ok)
    return failure(CocoaError{CocoaError::Code::FileWriteUnsupportedScheme,
                              CocoaError::Operation::Write, path, 0});
  return writeData(bytes, path);
}

Result<void, CocoaError> writeData(Bytes bytes, const URL& fileURL, DataWritingOptions options) {
  bool ok = false;
  auto path = pathOf(fileURL, ok);
  if (!ok)
    return failure(CocoaError{CocoaError::Code::FileWriteUnsupportedScheme,
                              CocoaError::Operation::Write, path, 0});
  using Op = CocoaError::Operation;
  if (options.withoutOverwriting && ::access(path.c_str(), F_OK) == 0)
    return failure(CocoaError::fromErrno(EEXIST, Op::Write, path));
  if (options.atomic) return writeData(bytes, path);
  const int flags =
      O_WRONLY | O_CREAT | O_CLOEXEC | (options.withoutOverwriting ? O_EXCL : O_TRUNC);
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return failure(CocoaError::fromErrno(errno, Op::Write, path));
  const std::uint8_t* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return failure(CocoaError::fromErrno(err, Op::Write, path));
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) return failure(CocoaError::fromErrno(errno, Op::Write, path));
  return success();
}

}  // namespace Foundation
