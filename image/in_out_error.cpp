#include "image/in_out_error.h"

namespace zelkor {

std::string InOutErrorText(int code) {
  switch (code) {
    case kFileNotFound:
      return "File not found";
    case kInvalidFilename:
      return "Invalid filename";
    case kTooManyOpenFiles:
      return "Too many open files";
    case kFileAccessDenied:
      return "File access denied";
    case kReadBeyondEndOfFile:
      return "Read beyond end of file";
    case kDiskFull:
      return "Disk full";
    default:
      return "I/O error " + std::to_string(code);
  }
}

}  // namespace zelkor
