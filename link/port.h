// One byte-wide I/O port space, as the processor's IN and OUT instructions see it.
// Every implementation performs each access at once and in program order; an address
// with nothing behind it reads kFloatingBus and ignores writes, as a real bus does.
#pragma once

#include <cstdint>

namespace zelkor {

inline constexpr std::uint8_t kFloatingBus = 0xFF;

class Port {
 public:
  virtual ~Port() = default;
  virtual void Out(std::uint16_t port, std::uint8_t value) = 0;
  virtual std::uint8_t In(std::uint16_t port) = 0;
};

// Nothing attached anywhere: the state of the port space before a backend is bound.
class FloatingPort final : public Port {
 public:
  void Out(std::uint16_t, std::uint8_t) override {}
  std::uint8_t In(std::uint16_t) override { return kFloatingBus; }
};

}  // namespace zelkor
