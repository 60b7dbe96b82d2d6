#include "link/port_registers.h"

#include "link/delay_unit.h"

namespace zelkor {

std::uint16_t DataPort = 0;
std::uint16_t StatusPort = 0;
std::uint16_t ControlPort = 0;
std::uint8_t DataShadow = 0;
std::uint8_t ControlShadow = 0;

namespace {

FloatingPort floatingPort;
Port* boundPort = &floatingPort;

}  // namespace

void BindPort(Port& port) {
  boundPort = &port;
}

void UnbindPort() {
  boundPort = &floatingPort;
}

void SelectPortBase(std::uint16_t base) {
  DataPort = base;
  StatusPort = base + kStatusOffset;
  ControlPort = base + kControlOffset;
}

void OutData() {
  boundPort->Out(DataPort, DataShadow);
}

void WriteData() {
  OutData();
  WaitUnits(kUnitsPerAccess);
}

void WriteControl() {
  boundPort->Out(ControlPort, ControlShadow);
  WaitUnits(kUnitsPerAccess);
}

std::uint8_t ReadStatus() {
  const std::uint8_t value = boundPort->In(StatusPort);
  WaitUnits(kUnitsPerAccess);
  return value;
}

}  // namespace zelkor
