#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/URLParser.hpp"

namespace Foundation {

// Swift's URL: an absolute URL, kept exactly as written. Any scheme is accepted (custom app
// schemes such as "com.example.app:/callback" included); the authority is checked by libcurl.
class URL {
 public:
  // Swift `URL(string:)`: nullopt for an empty text, a missing scheme (relative references
  // are not URLs here), unencoded spaces or other characters a URL cannot hold, a malformed
  // escape, bad host or port, and an http(s)/ws(s) URL without a host.
  static std::optional<URL> string(std::string_view text);
  // Swift `URL(fileURLWithPath:isDirectory:)`: a relative path is taken from the current
  // directory; without `isDirectory` the file system decides whether a "/" ends the URL.
  static URL fileURLWithPath(std::string_view path, std::optional<bool> isDirectory = std::nullopt);

  const std::string& absoluteString() const { return storage_->string; }
  const std::optional<std::string>& scheme() const { return storage_->parts.scheme; }
  // Percent-decoded, without IPv6 brackets; nullopt when there is none or it is empty.
  std::optional<std::string> host() const;
  // Only a port written in the URL.
  std::optional<int> port() const { return storage_->parts.port; }
  // Percent-decoded, without a trailing "/" (except for "/" itself); a file URL's file path.
  std::string path() const;
  // As written (percent-encoded).
  const std::optional<std::string>& query() const { return storage_->parts.query; }
  const std::optional<std::string>& fragment() const { return storage_->parts.fragment; }

  // "y.json" for ".../x/y.json", "/" for a root path, "" for no path.
  std::string lastPathComponent() const;
  // "/a/b/" gives ["/", "a", "b"]; decoded.
  std::vector<std::string> pathComponents() const;
  // Adds one "/"-joined, percent-encoded component to the path, keeping query and fragment.
  // Without `isDirectory`, a file URL asks the file system whether to end with "/".
  URL appendingPathComponent(std::string_view component,
                             std::optional<bool> isDirectory = std::nullopt) const;
  bool isFileURL() const;

  const URLParts& parts() const { return storage_->parts; }

  // As Foundation: two URLs are equal when written the same.
  bool operator==(const URL& other) const { return absoluteString() == other.absoluteString(); }

  // A URL never changes once made, so copies share its text and parts. Moving copies, so a
  // moved-from URL still reads as before.
  URL(const URL&) = default;
  URL& operator=(const URL&) = default;

 private:
  struct Storage {
    std::string string;
    URLParts parts;
  };
  URL(std::string text, URLParts parts)
      : storage_(std::make_shared<const Storage>(Storage{std::move(text), std::move(parts)})) {}
  std::shared_ptr<const Storage> storage_;
};

}  // namespace Foundation

template <>
struct std::hash<Foundation::URL> {
  std::size_t operator()(const Foundation::URL& url) const noexcept {
    return std::hash<std::string>()(url.absoluteString());
  }
};
