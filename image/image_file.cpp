#include "image/image_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <random>

#include "image/image_buffer.h"
#include "image/in_out_error.h"

namespace zelkor {

namespace {

// Non-blocking so that a pipe or device chosen by mistake cannot hang the window.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK;
// Opens the file being replaced without truncating it, only to learn that it may be written.
constexpr int kWriteProbeFlags = O_WRONLY | O_NONBLOCK;
// O_EXCL: the new content never goes into a file that someone else has just made.
constexpr int kTemporaryFlags = O_WRONLY | O_CREAT | O_EXCL;
// What a newly made image file gets before the operator's umask.
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;
// Enough of the image's name to tell its temporary file apart, short enough for any name.
constexpr std::size_t kTemporaryNameChars = 64;

// Saving through a symbolic link replaces the file it points to, not the link.
std::string SaveTarget(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const auto real = std::filesystem::canonical(path, error);
  return error ? path : real.string();
}

// The file being replaced, if there is one: its permissions and owner go to the new file.
std::optional<struct stat> ExistingFile(FileCalls& calls, const std::string& target) {
  struct stat info {};
  if (calls.Stat(target, info) != 0) {
    if (errno == ENOENT) return std::nullopt;
    ThrowLastFileError();
  }
  if (S_ISDIR(info.st_mode)) ThrowFileError(EISDIR);
  // A device or pipe must not be replaced by a plain file.
  if (!S_ISREG(info.st_mode)) ThrowFileError(EACCES);
  // A file the operator may not write stays protected, although the directory would let
  // the new file take its place.
  const OpenFile writable(calls, target, kWriteProbeFlags);
  return info;
}

std::string TemporaryPathFor(const std::string& target) {
  std::random_device entropy;
  const std::uint64_t tag = (std::uint64_t{entropy()} << 32) ^ entropy() ^ ::getpid();
  return DirectoryOf(target) + "." + FileNameOf(target).substr(0, kTemporaryNameChars) + "." +
         std::to_string(tag) + ".tmp";
}

// The new content's file beside the target; removed again unless it has taken the target's
// place.
class TemporaryFile {
 public:
  TemporaryFile(FileCalls& calls, const std::string& target)
      : calls_(calls),
        path_(TemporaryPathFor(target)),
        file_(calls, path_, kTemporaryFlags, kNewFileMode) {}
  ~TemporaryFile() {
    if (!placed_) calls_.Unlink(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  OpenFile& File() { return file_; }

  void Replace(const std::string& target) {
    if (calls_.Rename(path_, target) != 0) ThrowLastFileError();
    placed_ = true;
  }

 private:
  FileCalls& calls_;
  std::string path_;
  OpenFile file_;
  bool placed_ = false;
};

}  // namespace

ImageFileReader::ImageFileReader(const std::string& path, FileCalls& calls)
    : file_(calls, path, kReadFlags) {
  const struct stat info = file_.Status();
  // Linux opens a directory for reading; only the read would fail, with a less clear error.
  if (S_ISDIR(info.st_mode)) ThrowFileError(EISDIR);
  size_ = static_cast<std::uint64_t>(info.st_size);
}

std::vector<std::uint8_t> ImageFileReader::Read(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  file_.ReadExactly(bytes.data(), bytes.size());
  return bytes;
}

void SaveImageFile(const std::string& path, std::span<const std::uint8_t> bytes, FileCalls& calls) {
  const std::string target = SaveTarget(path);
  const std::optional<struct stat> existing = ExistingFile(calls, target);
  TemporaryFile temporary(calls, target);
  OpenFile& file = temporary.File();
  if (existing) {
    file.TryChangeOwner(existing->st_uid, existing->st_gid);
    file.ChangeMode(existing->st_mode & kPermissionBits);
  }
  file.WriteAll(bytes.data(), bytes.size());
  file.Sync();
  file.Close();
  temporary.Replace(target);
}

}  // namespace zelkor
