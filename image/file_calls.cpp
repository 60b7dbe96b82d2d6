#include "image/file_calls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "image/in_out_error.h"

namespace zelkor {

int FileCalls::Open(const std::string& path, int flags, mode_t mode) {
  return ::open(path.c_str(), flags, mode);
}
int FileCalls::Fstat(int fd, struct stat& info) {
  return ::fstat(fd, &info);
}
int FileCalls::Stat(const std::string& path, struct stat& info) {
  return ::stat(path.c_str(), &info);
}
ssize_t FileCalls::Read(int fd, void* bytes, std::size_t count) {
  return ::read(fd, bytes, count);
}
ssize_t FileCalls::Write(int fd, const void* bytes, std::size_t count) {
  return ::write(fd, bytes, count);
}
int FileCalls::Fchmod(int fd, mode_t mode) {
  return ::fchmod(fd, mode);
}
int FileCalls::Fchown(int fd, uid_t owner, gid_t group) {
  return ::fchown(fd, owner, group);
}
int FileCalls::Fsync(int fd) {
  return ::fsync(fd);
}
int FileCalls::Close(int fd) {
  return ::close(fd);
}
int FileCalls::Rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str());
}
int FileCalls::Unlink(const std::string& path) {
  return ::unlink(path.c_str());
}

namespace {

// The platform's general failure of a device: "I/O error 31".
constexpr int kDeviceFailure = 31;

FileCalls& SystemFileCalls() {
  static FileCalls calls;
  return calls;
}

// Null until a test replaces the calls: valid whatever order the program's statics start in.
FileCalls* replacedCalls = nullptr;

}  // namespace

FileCalls& ActiveFileCalls() {
  return replacedCalls ? *replacedCalls : SystemFileCalls();
}

ReplacedFileCalls::ReplacedFileCalls(FileCalls& calls) : previous_(replacedCalls) {
  replacedCalls = &calls;
}

ReplacedFileCalls::~ReplacedFileCalls() {
  replacedCalls = previous_;
}

int InOutCodeFor(int err) {
  switch (err) {
    case ENOENT:
      return kFileNotFound;
    // The name itself cannot be a file: too long, a file used as a directory, a link loop.
    case ENAMETOOLONG:
    case ENOTDIR:
    case ELOOP:
    case EINVAL:
      return kInvalidFilename;
    case EMFILE:
    case ENFILE:
      return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return kFileAccessDenied;
    case ENOSPC:
    case EDQUOT:
      return kDiskFull;
    // These numbers are the platform's codes for something else; "File access denied" for a
    // failing disk would send the operator the wrong way.
    case ESRCH:
    case EINTR:
    case EIO:
    case ENETDOWN:
    case ENETUNREACH:
      return kDeviceFailure;
    default:
      return err;
  }
}

void ThrowFileError(int err) {
  throw InOutError(InOutCodeFor(err));
}

void ThrowLastFileError() {
  ThrowFileError(errno);
}

OpenFile::OpenFile(FileCalls& calls, const std::string& path, int flags, mode_t mode)
    : calls_(calls), fd_(-1) {
  do {
    fd_ = calls_.Open(path, flags | O_CLOEXEC, mode);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) ThrowLastFileError();
}

OpenFile::~OpenFile() {
  // Only reached when a failure is already on its way to the operator, or for a file that
  // was only read; a second report would hide the first.
  if (fd_ >= 0) calls_.Close(fd_);
}

struct stat OpenFile::Status() {
  struct stat info {};
  if (calls_.Fstat(fd_, info) != 0) ThrowLastFileError();
  return info;
}

void OpenFile::ReadExactly(void* bytes, std::size_t count) {
  auto* next = static_cast<std::uint8_t*>(bytes);
  while (count > 0) {
    const ssize_t got = calls_.Read(fd_, next, count);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ThrowLastFileError();
    if (got == 0) throw InOutError(kReadBeyondEndOfFile);
    next += got;
    count -= static_cast<std::size_t>(got);
  }
}

void OpenFile::WriteAll(const void* bytes, std::size_t count) {
  const auto* next = static_cast<const std::uint8_t*>(bytes);
  while (count > 0) {
    const ssize_t put = calls_.Write(fd_, next, count);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) ThrowLastFileError();
    if (put == 0) throw InOutError(kDiskFull);
    next += put;
    count -= static_cast<std::size_t>(put);
  }
}

void OpenFile::ChangeMode(mode_t mode) {
  if (calls_.Fchmod(fd_, mode) != 0) ThrowLastFileError();
}

void OpenFile::TryChangeOwner(uid_t owner, gid_t group) {
  calls_.Fchown(fd_, owner, group);
}

void OpenFile::Sync() {
  if (calls_.Fsync(fd_) != 0) ThrowLastFileError();
}

void OpenFile::Close() {
  // The descriptor is gone whatever close says, so it is never closed twice.
  const int fd = fd_;
  fd_ = -1;
  if (calls_.Close(fd) != 0) ThrowLastFileError();
}

}  // namespace zelkor
