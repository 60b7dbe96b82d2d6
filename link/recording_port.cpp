#include "link/recording_port.h"

#include <cstdio>

#include "link/delay_unit.h"

namespace zelkor {

std::string FormatAccess(const PortAccess& access) {
  char line[48];
  std::snprintf(line, sizeof line, "%llu %c %03X %02X",
                static_cast<unsigned long long>(access.boardTime),
                access.direction == Direction::Write ? 'W' : 'R', access.port, access.value);
  return line;
}

void RecordingPort::Out(std::uint16_t port, std::uint8_t value) {
  inner_.Out(port, value);
  Keep({BoardTime(), Direction::Write, port, value});
}

std::uint8_t RecordingPort::In(std::uint16_t port) {
  const std::uint8_t value = inner_.In(port);
  Keep({BoardTime(), Direction::Read, port, value});
  return value;
}

void RecordingPort::Keep(const PortAccess& access) {
  if (trace_) {
    *trace_ << FormatAccess(access) << '\n';
  } else {
    accesses_.push_back(access);
  }
}

}  // namespace zelkor
