#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/CocoaError.hpp"
#include "Foundation/Result.hpp"

namespace Foundation {

class URL;

// Swift's Data: a byte buffer with value semantics.
using Data = std::vector<std::uint8_t>;
using Bytes = std::span<const std::uint8_t>;

// Base64 (RFC 4648 §4): standard alphabet with "=" padding. Swift `data.base64EncodedString()`.
std::string base64EncodedString(Bytes bytes);
// Swift `Data(base64Encoded:)`: nullopt for a character outside the alphabet, whitespace, a
// length that is not a multiple of 4, misplaced padding or non-zero bits in the last symbol.
std::optional<Data> base64Decoded(std::string_view text);

// Base64url (RFC 4648 §5) without padding, as PKCE and JWT use.
std::string base64URLEncodedString(Bytes bytes);
// Accepts the unpadded form and, if present, correct "=" padding; otherwise as strict as above.
std::optional<Data> base64URLDecoded(std::string_view text);

// Swift `Data(text.utf8)`.
Data dataFromString(std::string_view text);
// Swift `String(data:encoding: .utf8)`: nullopt when the bytes are not valid UTF-8.
std::optional<std::string> stringFromUTF8(Bytes bytes);
// The bytes as they are, for text that need not be UTF-8 (e.g. a body shown in a log).
std::string stringFromBytes(Bytes bytes);
bool isValidUTF8(std::string_view text);

// Swift `Data(contentsOf:)` for a file path or a file URL.
Result<Data, CocoaError> dataContentsOf(const std::string& path);
Result<Data, CocoaError> dataContentsOf(const URL& fileURL);
// Swift `data.write(to:options: .atomic)`: written to a temporary file beside the target,
// flushed, then renamed over it, so readers see the old or the new content, never a part.
Result<void, CocoaError> writeData(Bytes bytes, const std::string& path);
Result<void, CocoaError> writeData(Bytes bytes, const URL& fileURL);
// Swift `data.write(to:options:)` with the options spelled out: none writes in place (no
// temporary file, no flush); `withoutOverwriting` fails with FileWriteFileExists when the
// file is there; `atomic` is the form above.
struct DataWritingOptions {
  bool atomic = false;
  bool withoutOverwriting = false;
};
Result<void, CocoaError> writeData(Bytes bytes, const URL& fileURL, DataWritingOptions options);

}  // namespace Foundation
