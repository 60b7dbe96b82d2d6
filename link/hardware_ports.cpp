#include "link/hardware_ports.h"

#include <optional>

#include "link/direct_io_port.h"
#include "link/port_registers.h"
#include "link/ppdev_port.h"

namespace zelkor {

namespace {

constexpr std::array<std::uint16_t, 2> kStandardBases{kFirstPortBase, kSecondPortBase};

PortCalls& CallsOf(const HardwarePaths& paths) {
  return paths.calls != nullptr ? *paths.calls : SystemPortCalls();
}

// The kernel's ppdev device for the port at base, when the kernel has such a port.
std::optional<std::string> PpdevDeviceFor(const HardwarePaths& paths, std::uint16_t base) {
  const std::optional<int> number = FindParportNumber(paths.procRoot, base);
  if (!number) return std::nullopt;
  return ParportDevice(paths.devDir, *number).string();
}

struct Backend {
  PortBackend kind = PortBackend::kNone;
  std::unique_ptr<Port> port;
};

// A port that the kernel has registered to another driver is not driven around that driver's
// back: only a port that ppdev cannot offer at all falls back to the port instructions.
Backend OpenBackend(const HardwarePaths& paths, std::uint16_t base) {
  PortCalls& calls = CallsOf(paths);
  if (const std::optional<std::string> device = PpdevDeviceFor(paths, base)) {
    PpdevPort::Opening opening = PpdevPort::Open(calls, *device, base);
    if (opening.claim == PpdevClaim::kClaimed)
      return {PortBackend::kPpdev, std::move(opening.port)};
    if (opening.claim == PpdevClaim::kBusy) return {};
  }
  if (std::unique_ptr<DirectIoPort> direct = DirectIoPort::Open(calls, base)) {
    return {PortBackend::kDirectIo, std::move(direct)};
  }
  return {};
}

bool CanDrive(const HardwarePaths& paths, std::uint16_t base) {
  PortCalls& calls = CallsOf(paths);
  if (const std::optional<std::string> device = PpdevDeviceFor(paths, base)) {
    const PpdevClaim claim = PpdevPort::Probe(calls, *device);
    if (claim == PpdevClaim::kClaimed) return true;
    if (claim == PpdevClaim::kBusy) return false;
  }
  return DirectIoPort::Probe(calls, base);
}

}  // namespace

HardwarePortSpace::HardwarePortSpace(std::unique_ptr<Port> first, PortBackend firstBackend,
                                     std::unique_ptr<Port> second, PortBackend secondBackend)
    : slots_{Slot{kFirstPortBase, firstBackend, std::move(first)},
             Slot{kSecondPortBase, secondBackend, std::move(second)}} {}

Port* HardwarePortSpace::PortFor(std::uint16_t port) const {
  for (const Slot& slot : slots_) {
    if (slot.port && port >= slot.base && port - slot.base <= kControlOffset) {
      return slot.port.get();
    }
  }
  return nullptr;
}

void HardwarePortSpace::Out(std::uint16_t port, std::uint8_t value) {
  if (Port* target = PortFor(port)) target->Out(port, value);
}

std::uint8_t HardwarePortSpace::In(std::uint16_t port) {
  Port* source = PortFor(port);
  return source != nullptr ? source->In(port) : kFloatingBus;
}

PortBackend HardwarePortSpace::BackendAt(std::uint16_t base) const {
  for (const Slot& slot : slots_) {
    if (slot.base == base) return slot.backend;
  }
  return PortBackend::kNone;
}

std::unique_ptr<HardwarePortSpace> OpenHardwarePortSpace(const HardwarePaths& paths) {
  Backend first = OpenBackend(paths, kStandardBases[0]);
  Backend second = OpenBackend(paths, kStandardBases[1]);
  return std::make_unique<HardwarePortSpace>(std::move(first.port), first.kind,
                                             std::move(second.port), second.kind);
}

std::unique_ptr<Port> OpenHardwarePorts(const HardwarePaths& paths) {
  return OpenHardwarePortSpace(paths);
}

bool CanDrivePorts(const HardwarePaths& paths) {
  for (const std::uint16_t base : kStandardBases) {
    if (CanDrive(paths, base)) return true;
  }
  return false;
}

}  // namespace zelkor
