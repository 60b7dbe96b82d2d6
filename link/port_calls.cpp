#include "link/port_calls.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#endif

#include "link/port.h"

namespace zelkor {

int PortCalls::Open(const std::string& path, int flags) {
  return ::open(path.c_str(), flags);
}

int PortCalls::Close(int fd) {
  return ::close(fd);
}

int PortCalls::Ioctl(int fd, unsigned long request, void* argument) {
  return ::ioctl(fd, request, argument);
}

// The only place that knows whether the processor has IN and OUT instructions.
#if defined(__x86_64__) || defined(__i386__)

int PortCalls::Ioperm(unsigned long from, unsigned long count, bool allow) {
  return ::ioperm(from, count, allow ? 1 : 0);
}

void PortCalls::OutByte(std::uint16_t port, std::uint8_t value) {
  ::outb(value, port);
}

std::uint8_t PortCalls::InByte(std::uint16_t port) {
  return ::inb(port);
}

#else

int PortCalls::Ioperm(unsigned long, unsigned long, bool) {
  errno = ENOSYS;
  return -1;
}

void PortCalls::OutByte(std::uint16_t, std::uint8_t) {}

std::uint8_t PortCalls::InByte(std::uint16_t) {
  return kFloatingBus;
}

#endif

PortCalls& SystemPortCalls() {
  static PortCalls calls;
  return calls;
}

}  // namespace zelkor
