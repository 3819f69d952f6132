#include "Foundation/CocoaError.hpp"

#include <cerrno>
#include <filesystem>

namespace Foundation {

namespace {

std::string quoted(const std::string& s) {
  return "\u201C" + s + "\u201D";
}

std::string fileName(const std::string& path) {
  std::filesystem::path p(path);
  while (!p.empty() && p.filename().empty() && p.has_relative_path()) p = p.parent_path();
  auto name = p.filename().string();
  return name.empty() ? path : name;
}

std::string folderName(const std::string& path) {
  std::filesystem::path p(path);
  while (!p.empty() && p.filename().empty() && p.has_relative_path()) p = p.parent_path();
  return fileName(p.parent_path().string());
}

}  // namespace

CocoaError CocoaError::fromErrno(int err, Operation operation, std::string path) {
  Code code = Code::FileReadUnknown;
  switch (operation) {
    case Operation::Read:
      switch (err) {
        case ENOENT:
        case ENOTDIR:
          code = Code::FileReadNoSuchFile;
          break;
        case EACCES:
        case EPERM:
          code = Code::FileReadNoPermission;
          break;
        case ENAMETOOLONG:
          code = Code::FileReadInvalidFileName;
          break;
        case EFBIG:
        case ENOMEM:
          code = Code::FileReadTooLarge;
          break;
        default:
          code = Code::FileReadUnknown;
      }
      break;
    case Operation::Write:
      switch (err) {
        case ENOENT:
        case ENOTDIR:
          code = Code::FileNoSuchFile;
          break;
        case EACCES:
        case EPERM:
          code = Code::FileWriteNoPermission;
          break;
        case EEXIST:
          code = Code::FileWriteFileExists;
          break;
        case ENOSPC:
        case EDQUOT:
          code = Code::FileWriteOutOfSpace;
          break;
        case EROFS:
          code = Code::FileWriteVolumeReadOnly;
          break;
        case ENAMETOOLONG:
          code = Code::FileWriteInvalidFileName;
          break;
        default:
          code = Code::FileWriteUnknown;
      }
      break;
    case Operation::Remove:
      switch (err) {
        case ENOENT:
          code = Code::FileNoSuchFile;
          break;
        case EACCES:
        case EPERM:
        case EROFS:
          code = Code::FileWriteNoPermission;
          break;
        default:
          code = Code::FileWriteUnknown;
      }
      break;
  }
  return CocoaError{code, operation, std::move(path), err};
}

std::string CocoaError::localizedDescription() const {
  const std::string name = quoted(fileName(path));
  const std::string folder = quoted(folderName(path));
  if (operation == Operation::Remove) {
    switch (code) {
      case Code::FileNoSuchFile:
        return name + " couldn\u2019t be removed because it doesn\u2019t exist.";
      case Code::FileWriteNoPermission:
        return name +
               " couldn\u2019t be removed because you don\u2019t have permission to access it.";
      default:
        return name + " couldn\u2019t be removed.";
    }
  }
  switch (code) {
    case Code::FileNoSuchFile:
      return operation == Operation::Write ? "The folder " + folder + " doesn\u2019t exist."
                                           : "The file " + name + " doesn\u2019t exist.";
    case Code::FileReadUnknown:
      return "The file " + name + " couldn\u2019t be opened.";
    case Code::FileReadNoPermission:
      return "The file " + name +
             " couldn\u2019t be opened because you don\u2019t have permission to view it.";
    case Code::FileReadInvalidFileName:
    case Code::FileWriteInvalidFileName:
      return "The file name " + name + " is invalid.";
    case Code::FileReadCorruptFile:
      return "The file " + name +
             " couldn\u2019t be opened because it isn\u2019t in the correct format.";
    case Code::FileReadNoSuchFile:
      return "The file " + name + " couldn\u2019t be opened because there is no such file.";
    case Code::FileReadUnsupportedScheme:
      return "The file couldn\u2019t be opened because the specified URL type isn\u2019t "
             "supported.";
    case Code::FileWriteUnsupportedScheme:
      return "The file couldn\u2019t be saved because the specified URL type isn\u2019t supported.";
    case Code::FileReadTooLarge:
      return "The file " + name + " couldn\u2019t be opened because it is too large.";
    case Code::FileWriteUnknown:
      return "The file " + name + " couldn\u2019t be saved in the folder " + folder + ".";
    case Code::FileWriteNoPermission:
      return "You don\u2019t have permission to save the file " + name + " in the folder " +
             folder + ".";
    case Code::FileWriteFileExists:
      return "The file " + name +
             " couldn\u2019t be saved because a file with the same name already exists.";
    case Code::FileWriteOutOfSpace:
      return "The file " + name + " couldn\u2019t be saved because there isn\u2019t enough space.";
    case Code::FileWriteVolumeReadOnly:
      return "The file " + name + " couldn\u2019t be saved because the volume is read only.";
  }
  return "The operation couldn\u2019t be completed.";
}

}  // namespace Foundation
