#include "link/direct_io_port.h"

namespace zelkor {

std::unique_ptr<DirectIoPort> DirectIoPort::Open(PortCalls& calls, std::uint16_t base) {
  if (calls.Ioperm(base, kPortRegisterCount, true) != 0) return nullptr;
  return std::make_unique<DirectIoPort>(OpenKey{}, calls, base);
}

bool DirectIoPort::Probe(PortCalls& calls, std::uint16_t base) {
  if (calls.Ioperm(base, kPortRegisterCount, true) != 0) return false;
  calls.Ioperm(base, kPortRegisterCount, false);
  return true;
}

DirectIoPort::DirectIoPort(OpenKey, PortCalls& calls, std::uint16_t base)
    : calls_(calls), base_(base) {}

DirectIoPort::~DirectIoPort() {
  calls_.Ioperm(base_, kPortRegisterCount, false);
}

bool DirectIoPort::Covers(std::uint16_t port) const {
  return port >= base_ && port - base_ < static_cast<int>(kPortRegisterCount);
}

void DirectIoPort::Out(std::uint16_t port, std::uint8_t value) {
  if (Covers(port)) calls_.OutByte(port, value);
}

std::uint8_t DirectIoPort::In(std::uint16_t port) {
  return Covers(port) ? calls_.InByte(port) : kFloatingBus;
}

}  // namespace zelkor
