// The parallel port through the processor's own IN and OUT instructions, for a system without
// ppdev: the kernel must grant the three registers at the base (ioperm, which needs root and
// an x86 processor). The grant belongs to the thread that asked for it, so the thread that
// opens this port is the one that drives it.
#pragma once

#include <cstdint>
#include <memory>

#include "link/port.h"
#include "link/port_calls.h"

namespace zelkor {

inline constexpr unsigned long kPortRegisterCount = 3;

class DirectIoPort final : public Port {
  struct OpenKey {
    explicit OpenKey() = default;
  };

 public:
  // None when the kernel does not grant the registers at base.
  static std::unique_ptr<DirectIoPort> Open(PortCalls& calls, std::uint16_t base);
  // Whether Open would succeed: asks for the grant and gives it back at once.
  static bool Probe(PortCalls& calls, std::uint16_t base);

  DirectIoPort(OpenKey, PortCalls& calls, std::uint16_t base);
  ~DirectIoPort() override;
  DirectIoPort(const DirectIoPort&) = delete;
  DirectIoPort& operator=(const DirectIoPort&) = delete;

  // The three registers at base; every other port number floats.
  void Out(std::uint16_t port, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t port) override;

 private:
  bool Covers(std::uint16_t port) const;

  PortCalls& calls_;
  std::uint16_t base_;
};

}  // namespace zelkor
