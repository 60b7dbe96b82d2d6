// File calls that reach the real disk but fail where the test says, a record of the calls in
// order, and a temporary directory of the test's own.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "image/file_calls.h"

namespace zelkor::testing {

enum class Call { Open, Stat, Read, Write, Fchmod, Fsync, Close, Rename };

class FailingFileCalls : public FileCalls {
 public:
  // The occurrence (1 = first) of call that fails with err; err 0 makes a read or write
  // return 0 bytes instead.
  std::optional<Call> failing;
  int occurrence = 1;
  int err = EIO;
  // Non-zero: each read or write moves at most this many bytes, so a failure can come midway.
  std::size_t chunk = 0;
  // Refuses every open that could change a file, as a write-protected medium does.
  bool readOnlyMedium = false;
  std::vector<std::string> log;

  int Open(const std::string& path, int flags, mode_t mode) override {
    log.push_back("open " + std::filesystem::path(path).filename().string());
    if (readOnlyMedium && ((flags & O_ACCMODE) != O_RDONLY || (flags & (O_CREAT | O_TRUNC)))) {
      errno = EROFS;
      return -1;
    }
    return Fails(Call::Open) ? -1 : FileCalls::Open(path, flags, mode);
  }
  int Stat(const std::string& path, struct stat& info) override {
    log.push_back("stat");
    return Fails(Call::Stat) ? -1 : FileCalls::Stat(path, info);
  }
  ssize_t Read(int fd, void* bytes, std::size_t count) override {
    log.push_back("read");
    return Fails(Call::Read) ? Failed() : FileCalls::Read(fd, bytes, Capped(count));
  }
  ssize_t Write(int fd, const void* bytes, std::size_t count) override {
    log.push_back("write");
    return Fails(Call::Write) ? Failed() : FileCalls::Write(fd, bytes, Capped(count));
  }
  int Fchmod(int fd, mode_t mode) override {
    log.push_back("fchmod");
    return Fails(Call::Fchmod) ? -1 : FileCalls::Fchmod(fd, mode);
  }
  int Fsync(int fd) override {
    log.push_back("fsync");
    return Fails(Call::Fsync) ? -1 : FileCalls::Fsync(fd);
  }
  int Close(int fd) override {
    log.push_back("close");
    // The descriptor goes even when close reports an error, as on Linux.
    const int result = FileCalls::Close(fd);
    return Fails(Call::Close) ? -1 : result;
  }
  int Rename(const std::string& from, const std::string& to) override {
    log.push_back("rename");
    return Fails(Call::Rename) ? -1 : FileCalls::Rename(from, to);
  }

 private:
  bool Fails(Call call) {
    if (failing != call || ++seen_ != occurrence) return false;
    errno = err;
    return true;
  }
  ssize_t Failed() const { return err == 0 ? 0 : -1; }
  std::size_t Capped(std::size_t count) const {
    return chunk == 0 ? count : std::min(count, chunk);
  }

  int seen_ = 0;
};

// A fresh directory per test, removed with everything in it afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  TempDirTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("zelkor-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
            std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~TempDirTest() override { std::filesystem::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  std::string DirWithSlash() const { return dir_.string() + "/"; }

  void WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

  std::vector<std::uint8_t> ReadFile(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Every name in the directory, to see that nothing was left behind.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::filesystem::path dir_;
};

// Bytes that differ from their neighbours and from 0xFF, so that a shift or a missing
// stretch shows.
inline std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>((i * 7 + (i >> 8) + seed) % 0xFF);
  }
  return bytes;
}

}  // namespace zelkor::testing
