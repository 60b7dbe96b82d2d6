// The operating-system file calls the image files go through, one object so that a test can
// put a failing disk or a failing read in their place, and the open file that owns its
// descriptor.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace zelkor {

// Each call behaves as its POSIX namesake: -1 with errno set on failure.
class FileCalls {
 public:
  virtual ~FileCalls() = default;
  virtual int Open(const std::string& path, int flags, mode_t mode);
  virtual int Fstat(int fd, struct stat& info);
  virtual int Stat(const std::string& path, struct stat& info);
  virtual ssize_t Read(int fd, void* bytes, std::size_t count);
  virtual ssize_t Write(int fd, const void* bytes, std::size_t count);
  virtual int Fchmod(int fd, mode_t mode);
  virtual int Fchown(int fd, uid_t owner, gid_t group);
  virtual int Fsync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const std::string& from, const std::string& to);
  virtual int Unlink(const std::string& path);
};

// The calls the file commands use: the operating system's unless a test has replaced them.
FileCalls& ActiveFileCalls();

// Puts other calls in place for its lifetime.
class ReplacedFileCalls {
 public:
  explicit ReplacedFileCalls(FileCalls& calls);
  ~ReplacedFileCalls();
  ReplacedFileCalls(const ReplacedFileCalls&) = delete;
  ReplacedFileCalls& operator=(const ReplacedFileCalls&) = delete;

 private:
  FileCalls* previous_;
};

// The InOutError code that the operator sees for a failed call's errno.
int InOutCodeFor(int err);
// Ends the file command with the error for err, by default the errno a call has just left.
[[noreturn]] void ThrowFileError(int err);
[[noreturn]] void ThrowLastFileError();

// An open file; closed when it goes out of scope unless Close has already reported on it.
class OpenFile {
 public:
  // Throws InOutError when the file cannot be opened.
  OpenFile(FileCalls& calls, const std::string& path, int flags, mode_t mode = 0);
  ~OpenFile();
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  struct stat Status();
  // All of count bytes, or InOutError; a file that ends early is "Read beyond end of file".
  void ReadExactly(void* bytes, std::size_t count);
  void WriteAll(const void* bytes, std::size_t count);
  void ChangeMode(mode_t mode);
  // Only the superuser may give a file away; anyone else keeps the file as their own.
  void TryChangeOwner(uid_t owner, gid_t group);
  void Sync();
  // Closes and reports a failure, which may be the first news of a write that did not land.
  void Close();

 private:
  FileCalls& calls_;
  int fd_;
};

}  // namespace zelkor
