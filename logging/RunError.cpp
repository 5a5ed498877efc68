// Portable: run-time error numbers and descriptions, and the mapping from Win32 errors.
#include "logging/RunError.h"

#include <map>

namespace tlv::logging {

std::string runErrorDescription(std::int32_t number) {
  static const std::map<std::int32_t, const char*> kDescriptions = {
      {5, "Invalid procedure call or argument"},
      {6, "Overflow"},
      {7, "Out of memory"},
      {9, "Subscript out of range"},
      {13, "Type mismatch"},
      {52, "Bad file name or number"},
      {53, "File not found"},
      {54, "Bad file mode"},
      {55, "File already open"},
      {57, "Device I/O error"},
      {58, "File already exists"},
      {61, "Disk full"},
      {67, "Too many files"},
      {70, "Permission denied"},
      {71, "Disk not ready"},
      {75, "Path/File access error"},
      {76, "Path not found"},
  };
  auto it = kDescriptions.find(number);
  return it != kDescriptions.end() ? it->second : "Application-defined or object-defined error";
}

RunError runError(std::int32_t number) { return RunError{number, runErrorDescription(number), kErrorSource}; }

RunError runErrorForFile(platform::Win32Error error, FileOperation operation) {
  namespace err = platform::err;
  const bool writing = operation == FileOperation::Write || operation == FileOperation::Close;
  switch (error) {
    case err::kFileNotFound:
      return runError(errnum::kFileNotFound);
    case err::kPathNotFound:
      return runError(errnum::kPathNotFound);
    case err::kAccessDenied:
      // Opening for writing is refused as a path/file access error; a refused copy reports
      // a permission problem.
      return runError(operation == FileOperation::Copy ? errnum::kPermissionDenied : errnum::kPathFileAccess);
    case err::kWriteProtect:
    case err::kSharingViolation:
    case 33:  // ERROR_LOCK_VIOLATION
      return runError(errnum::kPermissionDenied);
    case err::kNotReady:
      return runError(71);
    case err::kDiskFull:
    case err::kHandleDiskFull:
      return runError(61);
    case err::kInvalidName:
    case 161:  // ERROR_BAD_PATHNAME
      return runError(52);
    case err::kFileExists:
    case err::kAlreadyExists:
      return runError(58);
    case 4:  // ERROR_TOO_MANY_OPEN_FILES
      return runError(67);
    case err::kNotEnoughMemory:
    case 14:  // ERROR_OUTOFMEMORY
      return runError(errnum::kOutOfMemory);
    default:
      return runError(writing || operation == FileOperation::Read ? errnum::kDeviceIo : errnum::kPathFileAccess);
  }
}

}  // namespace tlv::logging
