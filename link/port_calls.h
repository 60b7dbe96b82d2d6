// The operating-system calls that reach the parallel port: the ppdev device's open, ioctl and
// close, the I/O permission and the processor's port instructions. One object, so that a test
// can stand in for a device or a refused permission and never touch a real port.
#pragma once

#include <cstdint>
#include <string>

namespace zelkor {

// Each call behaves as its POSIX or glibc namesake: -1 with errno set on failure.
class PortCalls {
 public:
  virtual ~PortCalls() = default;
  virtual int Open(const std::string& path, int flags);
  virtual int Close(int fd);
  virtual int Ioctl(int fd, unsigned long request, void* argument);
  // Fails with ENOSYS where the processor has no port instructions.
  virtual int Ioperm(unsigned long from, unsigned long count, bool allow);
  // Only ever called for a range that Ioperm has granted.
  virtual void OutByte(std::uint16_t port, std::uint8_t value);
  virtual std::uint8_t InByte(std::uint16_t port);
};

// The operating system's own calls.
PortCalls& SystemPortCalls();

}  // namespace zelkor
