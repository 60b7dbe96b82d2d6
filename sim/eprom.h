// A 27C256 or 27C512 in the board's 28-pin socket.
//
//            27C512      27C256
//   pin 1    A15         VPP
//   pin 20   /CE         /CE (/PGM)
//   pin 22   /OE-VPP     /OE
//   pin 27   A14         A14
//
// The chip drives the data bus only while it is powered, /CE is low and its output enable is
// active; a low pulse on /CE with the programming voltage applied clears the bus's 0 bits.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zelkor::sim {

inline constexpr double kLogicHigh = 5.0;
inline constexpr double kProgrammingVolts = 12.75;

// The levels on the socket's pins, in volts where a pin may carry a voltage.
struct SocketLines {
  std::uint16_t a0to14 = 0;
  double pin1 = 0;
  double pin22 = 0;
  bool ceHigh = false;
  double vcc = 0;
};

struct ProgramPulseRecord {
  std::uint32_t address;
  std::uint8_t data;
  std::uint64_t widthUnits;
  double vcc;
};

enum class EpromType { C27C256, C27C512 };

class Eprom {
 public:
  explicit Eprom(EpromType type);
  Eprom(EpromType type, std::vector<std::uint8_t> content);

  EpromType Type() const { return type_; }
  std::uint32_t Size() const { return static_cast<std::uint32_t>(content_.size()); }
  const std::vector<std::uint8_t>& Content() const { return content_; }
  std::vector<std::uint8_t>& Content() { return content_; }

  // The address the pins select: A0..A14, and A15 from pin 1 on a 27C512.
  std::uint32_t Address(const SocketLines& lines) const;
  // The byte on the data outputs, or nothing while they are off.
  std::optional<std::uint8_t> Output(const SocketLines& lines) const;
  // Follows /CE for programming pulses; board time is in delay units.
  void Update(const SocketLines& lines, std::uint8_t bus, std::uint64_t boardTime);

  const std::vector<ProgramPulseRecord>& Pulses() const { return pulses_; }

 private:
  bool Powered(const SocketLines& lines) const { return lines.vcc >= 4.5; }
  bool ProgrammingVoltage(const SocketLines& lines) const;

  EpromType type_;
  std::vector<std::uint8_t> content_;
  bool pulseActive_ = false;
  std::uint64_t pulseStart_ = 0;
  std::vector<ProgramPulseRecord> pulses_;
};

}  // namespace zelkor::sim
