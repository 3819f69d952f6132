#pragma once

#include <string>

namespace Foundation {

// Swift's CocoaError for file operations: the Foundation code, the file it is about and the
// system error behind it. localizedDescription() gives Foundation's English text.
struct CocoaError {
  enum class Code : int {
    FileNoSuchFile = 4,
    FileReadUnknown = 256,
    FileReadNoPermission = 257,
    FileReadInvalidFileName = 258,
    FileReadCorruptFile = 259,
    FileReadNoSuchFile = 260,
    FileReadUnsupportedScheme = 262,
    FileReadTooLarge = 263,
    FileWriteUnknown = 512,
    FileWriteNoPermission = 513,
    FileWriteInvalidFileName = 514,
    FileWriteFileExists = 516,
    FileWriteUnsupportedScheme = 518,
    FileWriteOutOfSpace = 640,
    FileWriteVolumeReadOnly = 642,
  };
  // What was being done; it picks the wording, as Foundation's texts differ by operation.
  enum class Operation { Read, Write, Remove };

  Code code = Code::FileReadUnknown;
  Operation operation = Operation::Read;
  std::string path;
  int posixCode = 0;  // errno behind the failure, 0 when none

  // Maps an errno of the given operation to Foundation's code.
  static CocoaError fromErrno(int err, Operation operation, std::string path);

  std::string localizedDescription() const;
  static constexpr const char* domain = "NSCocoaErrorDomain";

  bool operator==(const CocoaError&) const = default;
};

}  // namespace Foundation
