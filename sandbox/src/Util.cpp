#include "Util.hpp"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cctype>
#include <charconv>
#include <stdexcept>

namespace sandbox::detail {

std::string randomBytes(std::size_t n) {
  std::string out(n, '\0');
  if (n > 0 && RAND_bytes(reinterpret_cast<unsigned char*>(out.data()), static_cast<int>(n)) != 1) {
    throw std::runtime_error("sandbox: RAND_bytes failed");
  }
  return out;
}

std::string randomToken() {
  return base64urlNoPad(randomBytes(32));
}

std::string randomHex(std::size_t digits) {
  return hex(randomBytes((digits + 1) / 2)).substr(0, digits);
}

std::string uuid4() {
  std::string b = randomBytes(16);
  b[6] = static_cast<char>((static_cast<unsigned char>(b[6]) & 0x0F) | 0x40);
  b[8] = static_cast<char>((static_cast<unsigned char>(b[8]) & 0x3F) | 0x80);
  const std::string h = hex(b);
  return h.substr(0, 8) + "-" + h.substr(8, 4) + "-" + h.substr(12, 4) + "-" + h.substr(16, 4) +
         "-" + h.substr(20, 12);
}

namespace {
constexpr char kStd[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kUrl[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string encode64(std::string_view in, const char* alphabet, bool pad) {
  std::string out;
  out.reserve((in.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < in.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(in[i]) << 16) |
                       (static_cast<unsigned char>(in[i + 1]) << 8) |
                       static_cast<unsigned char>(in[i + 2]);
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    out += alphabet[(v >> 6) & 63];
    out += alphabet[v & 63];
  }
  const std::size_t rest = in.size() - i;
  if (rest == 1) {
    const unsigned v = static_cast<unsigned char>(in[i]) << 16;
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    if (pad) out += "==";
  } else if (rest == 2) {
    const unsigned v =
        (static_cast<unsigned char>(in[i]) << 16) | (static_cast<unsigned char>(in[i + 1]) << 8);
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    out += alphabet[(v >> 6) & 63];
    if (pad) out += '=';
  }
  return out;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

Pairs parsePairs(std::string_view text, bool plusIsBlank) {
  Pairs out;
  std::size_t pos = 0;
  while (pos <= text.size() && !text.empty()) {
    std::size_t amp = text.find('&', pos);
    if (amp == std::string_view::npos) amp = text.size();
    const std::string_view item = text.substr(pos, amp - pos);
    if (!item.empty()) {
      const std::size_t eq = item.find('=');
      if (eq == std::string_view::npos) {
        out.emplace_back(percentDecode(item, plusIsBlank), std::string());
      } else {
        out.emplace_back(percentDecode(item.substr(0, eq), plusIsBlank),
                         percentDecode(item.substr(eq + 1), plusIsBlank));
      }
    }
    pos = amp + 1;
  }
  return out;
}
}  // namespace

std::string base64(std::string_view bytes) {
  return encode64(bytes, kStd, true);
}
std::string base64urlNoPad(std::string_view bytes) {
  return encode64(bytes, kUrl, false);
}

std::string sha256(std::string_view bytes) {
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), md, &len, EVP_sha256(), nullptr) != 1) {
    throw std::runtime_error("sandbox: SHA-256 failed");
  }
  return std::string(reinterpret_cast<const char*>(md), len);
}

std::string hex(std::string_view bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string sha256Hex(std::string_view bytes) {
  return hex(sha256(bytes));
}

Sha256Stream::Sha256Stream() : ctx_(EVP_MD_CTX_new()) {
  if (ctx_ == nullptr ||
      EVP_DigestInit_ex(static_cast<EVP_MD_CTX*>(ctx_), EVP_sha256(), nullptr) != 1) {
    EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(ctx_));
    throw std::runtime_error("sandbox: SHA-256 init failed");
  }
}

Sha256Stream::~Sha256Stream() {
  EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(ctx_));
}

void Sha256Stream::update(const char* data, std::size_t size) {
  EVP_DigestUpdate(static_cast<EVP_MD_CTX*>(ctx_), data, size);
  size_ += size;
}

std::string Sha256Stream::hexDigest() {
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  EVP_DigestFinal_ex(static_cast<EVP_MD_CTX*>(ctx_), md, &len);
  return hex(std::string_view(reinterpret_cast<const char*>(md), len));
}

std::string percentDecode(std::string_view text, bool plusIsBlank) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      const int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += (plusIsBlank && c == '+') ? ' ' : c;
  }
  return out;
}

std::string percentEncode(std::string_view text) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += digits[c >> 4];
      out += digits[c & 15];
    }
  }
  return out;
}

Pairs parseQuery(std::string_view rawQuery) {
  return parsePairs(rawQuery, false);
}
Pairs parseForm(std::string_view body) {
  return parsePairs(body, true);
}

std::optional<std::string> first(const Pairs& pairs, std::string_view key) {
  for (const auto& [k, v] : pairs) {
    if (k == key) return v;
  }
  return std::nullopt;
}

bool has(const Pairs& pairs, std::string_view key) {
  return first(pairs, key).has_value();
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string hostWithoutPort(std::string_view host) {
  if (!host.empty() && host.front() == '[') {  // [::1]:443
    const std::size_t close = host.find(']');
    return lower(host.substr(0, close == std::string_view::npos ? host.size() : close + 1));
  }
  const std::size_t colon = host.rfind(':');
  return lower(colon == std::string_view::npos ? host : host.substr(0, colon));
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool isUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    unsigned cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + n >= s.size()) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if ((n == 1 && cp < 0x80) || (n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) ||
        cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    i += n + 1;
  }
  return true;
}

std::optional<long long> parseInteger(std::string_view text) {
  long long value = 0;
  if (text.empty()) return std::nullopt;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace sandbox::detail
