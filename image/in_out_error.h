// The file input/output error that ends a file command, with the code and text the operator
// has always seen for it.
#pragma once

#include <stdexcept>
#include <string>

namespace zelkor {

inline constexpr int kFileNotFound = 2;
inline constexpr int kInvalidFilename = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kFileAccessDenied = 5;
inline constexpr int kReadBeyondEndOfFile = 100;
inline constexpr int kDiskFull = 101;

// "File not found", ..., and "I/O error %d" for every other code.
std::string InOutErrorText(int code);

class InOutError : public std::runtime_error {
 public:
  explicit InOutError(int code) : std::runtime_error(InOutErrorText(code)), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

}  // namespace zelkor
