// Stand-ins for the parallel port's operating-system calls: ppdev devices that exist, are
// busy or refuse a request, an I/O permission that is granted or not, and a register file
// behind the port instructions. Every call is kept in order as text, so a test sees exactly
// which request reached the kernel with which value.
#pragma once

#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "link/port_calls.h"

namespace zelkor::testing {

inline std::string Hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

class FakePortCalls : public PortCalls {
 public:
  // "open /dev/parport1", "PPCLAIM /dev/parport1", "PPWDATA /dev/parport1 5A",
  // "close /dev/parport1", "ioperm 378 on", "out 37A 0B", "in 379".
  std::vector<std::string> calls;
  std::set<std::string> devices;             // device nodes that open
  std::map<std::string, int> openErrors;     // path: errno of its open
  std::map<std::string, int> claimErrors;    // path: errno of its PPCLAIM
  std::map<unsigned long, int> ioctlErrors;  // request: errno on every device
  std::set<unsigned long> grantable;         // bases that ioperm grants
  int iopermError = EPERM;
  std::uint8_t status = 0;  // what PPRSTATUS and in return

  std::set<int> OpenDescriptors() const {
    std::set<int> fds;
    for (const auto& [fd, path] : paths_) fds.insert(fd);
    return fds;
  }
  const std::set<unsigned long>& Granted() const { return granted_; }

  int Open(const std::string& path, int flags) override {
    calls.push_back("open " + path);
    openFlags = flags;
    if (const auto error = openErrors.find(path); error != openErrors.end()) {
      return Fail(error->second);
    }
    if (!devices.contains(path)) return Fail(ENOENT);
    const int fd = nextFd_++;
    paths_[fd] = path;
    return fd;
  }

  int Close(int fd) override {
    calls.push_back("close " + PathOf(fd));
    return paths_.erase(fd) == 1 ? 0 : Fail(EBADF);
  }

  int Ioctl(int fd, unsigned long request, void* argument) override {
    const std::string path = PathOf(fd);
    std::string call = RequestName(request) + " " + path;
    if (request == PPWDATA || request == PPWCONTROL) {
      call += " " + Hex(*static_cast<unsigned char*>(argument));
    } else if (request == PPDATADIR) {
      call += " " + std::to_string(*static_cast<int*>(argument));
    }
    calls.push_back(call);
    if (!paths_.contains(fd)) return Fail(EBADF);
    if (request == PPCLAIM) {
      if (const auto error = claimErrors.find(path); error != claimErrors.end()) {
        return Fail(error->second);
      }
    }
    if (const auto error = ioctlErrors.find(request); error != ioctlErrors.end()) {
      return Fail(error->second);
    }
    if (request == PPRSTATUS) *static_cast<unsigned char*>(argument) = status;
    return 0;
  }

  int Ioperm(unsigned long from, unsigned long count, bool allow) override {
    calls.push_back("ioperm " + Hex(from) + " " + std::to_string(count) + (allow ? " on" : " off"));
    if (!allow) {
      granted_.erase(from);
      return 0;
    }
    if (!grantable.contains(from)) return Fail(iopermError);
    granted_.insert(from);
    return 0;
  }

  void OutByte(std::uint16_t port, std::uint8_t value) override {
    calls.push_back("out " + Hex(port) + " " + Hex(value));
  }

  std::uint8_t InByte(std::uint16_t port) override {
    calls.push_back("in " + Hex(port));
    return status;
  }

  int openFlags = 0;

 private:
  static int Fail(int error) {
    errno = error;
    return -1;
  }

  std::string PathOf(int fd) const {
    const auto path = paths_.find(fd);
    return path != paths_.end() ? path->second : "fd" + std::to_string(fd);
  }

  static std::string RequestName(unsigned long request) {
    static const std::map<unsigned long, std::string> names{
        {PPEXCL, "PPEXCL"},         {PPCLAIM, "PPCLAIM"},     {PPRELEASE, "PPRELEASE"},
        {PPDATADIR, "PPDATADIR"},   {PPWDATA, "PPWDATA"},     {PPWCONTROL, "PPWCONTROL"},
        {PPRSTATUS, "PPRSTATUS"},   {PPRDATA, "PPRDATA"},     {PPRCONTROL, "PPRCONTROL"},
        {PPFCONTROL, "PPFCONTROL"}, {PPSETMODE, "PPSETMODE"}, {PPNEGOT, "PPNEGOT"}};
    const auto name = names.find(request);
    return name != names.end() ? name->second : "ioctl " + Hex(request);
  }

  int nextFd_ = 3;
  std::map<int, std::string> paths_;
  std::set<unsigned long> granted_;
};

// A /proc and a /dev of the test's own making, removed with the object.
class FakeSystemTree {
 public:
  FakeSystemTree() {
    root_ = std::filesystem::temp_directory_path() /
            ("zelkor-hw-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::create_directories(root_ / "dev");
    std::filesystem::create_directories(root_ / "proc");
  }
  ~FakeSystemTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  FakeSystemTree(const FakeSystemTree&) = delete;
  FakeSystemTree& operator=(const FakeSystemTree&) = delete;

  std::filesystem::path Proc() const { return root_ / "proc"; }
  std::filesystem::path Dev() const { return root_ / "dev"; }

  // <proc>/sys/dev/parport/<name>/base-addr with the given text.
  void AddPort(const std::string& name, const std::string& baseAddr) {
    const std::filesystem::path dir = Proc() / "sys/dev/parport" / name;
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "base-addr") << baseAddr;
  }
  // The tree as the kernel makes it before any port is found.
  void AddEmptyParportDirectory() {
    std::filesystem::create_directories(Proc() / "sys/dev/parport");
  }

 private:
  static inline int counter_ = 0;
  std::filesystem::path root_;
};

}  // namespace zelkor::testing
