#include "sim/eprom.h"

#include <utility>

namespace zelkor::sim {

namespace {

constexpr std::uint32_t SizeOf(EpromType type) {
  return type == EpromType::C27C512 ? 65536u : 32768u;
}

bool High(double volts) {
  return volts > kLogicHigh / 2;
}

}  // namespace

Eprom::Eprom(EpromType type) : type_(type), content_(SizeOf(type), 0xFF) {}

Eprom::Eprom(EpromType type, std::vector<std::uint8_t> content)
    : type_(type), content_(std::move(content)) {
  content_.resize(SizeOf(type), 0xFF);
}

std::uint32_t Eprom::Address(const SocketLines& lines) const {
  std::uint32_t address = lines.a0to14 & 0x7FFF;
  if (type_ == EpromType::C27C512 && High(lines.pin1)) address |= 0x8000;
  return address;
}

bool Eprom::ProgrammingVoltage(const SocketLines& lines) const {
  const double vpp = type_ == EpromType::C27C512 ? lines.pin22 : lines.pin1;
  return vpp > kProgrammingVolts - 0.5;
}

std::optional<std::uint8_t> Eprom::Output(const SocketLines& lines) const {
  if (!Powered(lines) || lines.ceHigh || High(lines.pin22)) return std::nullopt;
  return content_[Address(lines)];
}

void Eprom::Update(const SocketLines& lines, std::uint8_t bus, std::uint64_t boardTime) {
  const bool programming = Powered(lines) && ProgrammingVoltage(lines) &&
                           (type_ == EpromType::C27C512 || High(lines.pin22));
  const bool ceLow = !lines.ceHigh;
  if (!pulseActive_ && ceLow && programming) {
    pulseActive_ = true;
    pulseStart_ = boardTime;
  } else if (pulseActive_ && (!ceLow || !programming)) {
    pulseActive_ = false;
    const std::uint32_t address = Address(lines);
    pulses_.push_back({address, bus, boardTime - pulseStart_, lines.vcc});
    // Programming can only clear bits; an erased cell is all ones.
    if (boardTime > pulseStart_) content_[address] &= bus;
  }
}

}  // namespace zelkor::sim
