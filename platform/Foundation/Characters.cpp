#include "Foundation/Characters.hpp"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <memory>

namespace Foundation {

namespace {

// The byte offsets where the text's characters start, and its end.
std::vector<std::size_t> boundaries(std::string_view utf8) {
  std::vector<std::size_t> marks{0};
  if (utf8.empty()) return marks;
  UErrorCode status = U_ZERO_ERROR;
  UText* text =
      utext_openUTF8(nullptr, utf8.data(), static_cast<std::int64_t>(utf8.size()), &status);
  std::unique_ptr<icu::BreakIterator> breaks(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  if (U_SUCCESS(status)) breaks->setText(text, status);
  if (U_FAILURE(status)) {
    // Without ICU's rules (its data missing) each byte stands alone rather than nothing.
    utext_close(text);
    for (std::size_t i = 1; i <= utf8.size(); ++i) marks.push_back(i);
    return marks;
  }
  for (auto at = breaks->next(); at != icu::BreakIterator::DONE; at = breaks->next())
    marks.push_back(static_cast<std::size_t>(at));
  utext_close(text);
  return marks;
}

}  // namespace

std::vector<std::string> characters(std::string_view utf8) {
  const auto marks = boundaries(utf8);
  std::vector<std::string> out;
  out.reserve(marks.size() - 1);
  for (std::size_t i = 1; i < marks.size(); ++i)
    out.emplace_back(utf8.substr(marks[i - 1], marks[i] - marks[i - 1]));
  return out;
}

std::size_t characterCount(std::string_view utf8) {
  return boundaries(utf8).size() - 1;
}

std::string droppingLastCharacter(std::string_view utf8) {
  const auto marks = boundaries(utf8);
  if (marks.size() < 2) return {};
  return std::string(utf8.substr(0, marks[marks.size() - 2]));
}

}  // namespace Foundation
