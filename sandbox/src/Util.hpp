// Small helpers shared by the sandbox sources: encodings, hashes, random identifiers, queries.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sandbox::detail {

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::string randomBytes(std::size_t n);
std::string randomToken();  // 32 random bytes, base64url without padding (43 characters)
std::string randomHex(std::size_t digits);
std::string uuid4();  // lower-case UUID v4 text

std::string base64(std::string_view bytes);  // standard alphabet, '=' padding
std::string base64urlNoPad(std::string_view bytes);
std::string sha256(std::string_view bytes);  // 32 raw bytes
std::string hex(std::string_view bytes);
std::string sha256Hex(std::string_view bytes);

// Incremental SHA-256 (for bodies the sandbox does not keep).
class Sha256Stream {
 public:
  Sha256Stream();
  ~Sha256Stream();
  Sha256Stream(const Sha256Stream&) = delete;
  Sha256Stream& operator=(const Sha256Stream&) = delete;
  void update(const char* data, std::size_t size);
  std::string hexDigest();  // once
  std::size_t size() const { return size_; }

 private:
  void* ctx_ = nullptr;
  std::size_t size_ = 0;
};

std::string percentDecode(std::string_view text, bool plusIsBlank);
std::string percentEncode(std::string_view text);  // keeps unreserved characters only
Pairs parseQuery(std::string_view rawQuery);       // '+' stays '+'
Pairs parseForm(std::string_view body);            // '+' is a blank
std::optional<std::string> first(const Pairs& pairs, std::string_view key);
bool has(const Pairs& pairs, std::string_view key);

std::string lower(std::string_view text);
bool iequals(std::string_view a, std::string_view b);
std::string hostWithoutPort(std::string_view host);
bool startsWith(std::string_view text, std::string_view prefix);
bool isUtf8(std::string_view bytes);
std::optional<long long> parseInteger(std::string_view text);

}  // namespace sandbox::detail
