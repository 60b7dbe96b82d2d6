// The real port space the program drives: the parallel ports at the two standard bases,
// each through ppdev where the kernel has the port, else through the processor's port
// instructions where the kernel grants them, else nothing (reads float, writes vanish).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "link/port.h"
#include "link/port_calls.h"

namespace zelkor {

struct HardwarePaths {
  std::filesystem::path procRoot = "/proc";
  std::filesystem::path devDir = "/dev";
  PortCalls* calls = nullptr;  // the operating system's calls when not set
};

enum class PortBackend { kNone, kPpdev, kDirectIo };

class HardwarePortSpace final : public Port {
 public:
  HardwarePortSpace(std::unique_ptr<Port> first, PortBackend firstBackend,
                    std::unique_ptr<Port> second, PortBackend secondBackend);

  void Out(std::uint16_t port, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t port) override;

  // How the port at a standard base is reached; kNone for any other base.
  PortBackend BackendAt(std::uint16_t base) const;

 private:
  struct Slot {
    std::uint16_t base;
    PortBackend backend;
    std::unique_ptr<Port> port;
  };
  Port* PortFor(std::uint16_t port) const;

  std::array<Slot, 2> slots_;
};

std::unique_ptr<HardwarePortSpace> OpenHardwarePortSpace(const HardwarePaths& paths = {});
std::unique_ptr<Port> OpenHardwarePorts(const HardwarePaths& paths = {});

// Whether OpenHardwarePorts would reach a port at either base. Writes no register.
bool CanDrivePorts(const HardwarePaths& paths = {});

}  // namespace zelkor
