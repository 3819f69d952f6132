#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Foundation {

// Swift's CharacterSet: ASCII characters from a table, characters beyond ASCII by their
// Unicode general category. Percent-encoding works on bytes: bytes of 0x80 and above (UTF-8
// sequences) are never members there, so they are always encoded.
class CharacterSet {
 public:
  CharacterSet() = default;
  // Swift `CharacterSet(charactersIn:)`; non-ASCII characters are ignored.
  static CharacterSet charactersIn(std::string_view ascii);

  // Foundation's URL component sets (RFC 3986; the path set leaves out ";").
  static const CharacterSet& urlQueryAllowed();
  static const CharacterSet& urlFragmentAllowed();
  static const CharacterSet& urlPathAllowed();
  static const CharacterSet& urlHostAllowed();
  static const CharacterSet& urlUserAllowed();
  static const CharacterSet& urlPasswordAllowed();
  static const CharacterSet& alphanumerics();  // ASCII letters and digits only
  // Every decimal digit of every script (Unicode general category Nd), "0"-"9" among them.
  static const CharacterSet& decimalDigits();

  // A byte, as percent-encoding sees it.
  bool contains(char c) const { return bits_.test(static_cast<unsigned char>(c)); }
  // A Unicode scalar.
  bool contains(char32_t scalar) const;
  // Swift `isSuperset(of: CharacterSet(charactersIn: text))`: every scalar of the UTF-8 text
  // is a member (true for the empty text; false for text that is not UTF-8).
  bool isSupersetOfCharacters(std::string_view utf8) const;
  CharacterSet subtracting(const CharacterSet& other) const;
  CharacterSet subtracting(std::string_view ascii) const {
    return subtracting(charactersIn(ascii));
  }
  // Swift `union(_:)` (a keyword in C++).
  CharacterSet unioning(const CharacterSet& other) const;

  bool operator==(const CharacterSet&) const = default;

 private:
  std::bitset<256> bits_;         // ASCII only
  std::uint32_t categories_ = 0;  // general categories (one bit each) beyond ASCII
};

// Swift `text.addingPercentEncoding(withAllowedCharacters:)`: every byte outside `allowed`
// becomes %XX (upper-case hex).
std::string addingPercentEncoding(std::string_view text, const CharacterSet& allowed);
// Swift `text.removingPercentEncoding`: nullopt for a malformed escape or a result that is
// not UTF-8. "+" stays "+".
std::optional<std::string> removingPercentEncoding(std::string_view text);

}  // namespace Foundation
