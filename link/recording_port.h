// A port decorator that keeps every access in order, with the board time it happened at.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "link/port.h"

namespace zelkor {

enum class Direction { Write, Read };

struct PortAccess {
  std::uint64_t boardTime;
  Direction direction;
  std::uint16_t port;
  std::uint8_t value;

  bool operator==(const PortAccess&) const = default;
};

// "20037 W 378 23": board time in units, direction, port and value in upper-case hex.
std::string FormatAccess(const PortAccess& access);

class RecordingPort final : public Port {
 public:
  explicit RecordingPort(Port& inner) : inner_(inner) {}

  void Out(std::uint16_t port, std::uint8_t value) override;
  std::uint8_t In(std::uint16_t port) override;

  // Streams each access as a trace line as well; the vector is then not kept.
  void StreamTo(std::ostream& trace) { trace_ = &trace; }

  const std::vector<PortAccess>& Accesses() const { return accesses_; }

 private:
  void Keep(const PortAccess& access);

  Port& inner_;
  std::ostream* trace_ = nullptr;
  std::vector<PortAccess> accesses_;
};

}  // namespace zelkor
