#include "sim/programmer_board.h"

#include <array>
#include <utility>

#include "link/delay_unit.h"

namespace zelkor::sim {

namespace {

// Data register bits as the board's circuit uses them.
constexpr std::uint8_t kVppSelect1 = 0x01, kOeDrive = 0x02, kVppSelect2 = 0x04, kD3 = 0x08,
                       kA14 = 0x10, kVccSelect1 = 0x20, kVccSelect2 = 0x40, kCe = 0x80;
// Control register bits: chip type, counter clock, shift clock and the serial line, which
// the port inverts between the register and the connector.
constexpr std::uint8_t kChipType = 0x01, kCounterClock = 0x02, kShiftClock = 0x04,
                       kSerialInverted = 0x08;
constexpr std::uint8_t kUnusedStatusBits = 0x07;

// Latch output pin Qn drives this data bus bit.
constexpr std::array<int, 8> kLatchPinToBus{4, 3, 5, 6, 7, 0, 1, 2};
// Selector inputs: Y0..Y3 take these bus bits with the serial line at 0 (A) and at 1 (B).
constexpr std::array<int, 4> kSelectorA{1, 4, 3, 6};
constexpr std::array<int, 4> kSelectorB{0, 2, 5, 7};
// Counter output Qn reaches this chip address line.
constexpr std::array<int, 14> kCounterToAddress{0, 10, 11, 3, 5, 9, 8, 13, 6, 7, 12, 4, 1, 2};

template <std::size_t N>
std::uint8_t Gather(std::uint8_t bus, const std::array<int, N>& bits) {
  std::uint8_t value = 0;
  for (std::size_t i = 0; i < N; ++i) {
    if (bus & (1u << bits[i])) value |= static_cast<std::uint8_t>(1u << i);
  }
  return value;
}

double Volts(Supply s) {
  switch (s) {
    case Supply::Volts5:
      return 5.0;
    case Supply::Volts6:
      return 6.0;
    default:
      return 0.0;
  }
}

double Volts(Programming p) {
  switch (p) {
    case Programming::Volts5:
      return 5.0;
    case Programming::Volts12_75:
      return kProgrammingVolts;
    default:
      return 0.0;
  }
}

double Logic(bool high) {
  return high ? kLogicHigh : 0.0;
}

}  // namespace

ProgrammerBoard::ProgrammerBoard(std::uint16_t base, std::uint32_t counterPowerOn,
                                 BoardFaults faults)
    : base_(base), faults_(faults), counter_(counterPowerOn) {
  counter_.SetFault(faults.counter);
  latch_.SetStuckOutput(faults.latchPin, faults.latchStuck);
  selector_.SetStuckOutput(faults.readbackPin, faults.readbackStuck);
}

void ProgrammerBoard::InsertChip(std::unique_ptr<Eprom> chip) {
  chip_ = std::move(chip);
}

std::unique_ptr<Eprom> ProgrammerBoard::RemoveChip() {
  return std::move(chip_);
}

void ProgrammerBoard::Out(std::uint16_t port, std::uint8_t value) {
  if (faults_.absent) return;
  if (port == base_) {
    data_ = value;
  } else if (port == base_ + 2) {
    control_ = value;
  } else {
    return;
  }
  Update();
}

std::uint8_t ProgrammerBoard::In(std::uint16_t port) {
  if (faults_.absent) return kFloatingBus;
  if (port == base_) return data_;
  if (port == base_ + 1) return Status();
  if (port == base_ + 2) return control_;
  return kFloatingBus;
}

void ProgrammerBoard::Update() {
  const bool serial = !(control_ & kSerialInverted);
  latch_.serial_w(serial);
  selector_.select_w(serial);
  latch_.clock_w(control_ & kShiftClock);
  counter_.clock_w(control_ & kCounterClock);
  if (SupplyVoltage() == Supply::Short || ProgrammingVoltage() == Programming::Short) {
    shortSeen_ = true;
  }
  if (chip_) chip_->Update(Socket(), DataBus(), BoardTime());
}

Supply ProgrammerBoard::SupplyVoltage() const {
  const bool first = data_ & kVccSelect1, second = data_ & kVccSelect2;
  if (first && second) return Supply::Short;
  if (first) return Supply::Off;
  return second ? Supply::Volts6 : Supply::Volts5;
}

Programming ProgrammerBoard::ProgrammingVoltage() const {
  const bool first = data_ & kVppSelect1, second = data_ & kVppSelect2;
  if (first && second) return Programming::Short;
  if (first) return Programming::Off;
  return second ? Programming::Volts12_75 : Programming::Volts5;
}

SocketLines ProgrammerBoard::Socket() const {
  SocketLines lines;
  const std::uint32_t count = counter_.Position();
  for (std::size_t q = 0; q < kCounterToAddress.size(); ++q) {
    if (count & (1u << q)) lines.a0to14 |= static_cast<std::uint16_t>(1u << kCounterToAddress[q]);
  }
  if (data_ & kA14) lines.a0to14 |= 0x4000;
  const double vpp = Volts(ProgrammingVoltage());
  const double d3 = Logic(data_ & kD3);
  // The chip-type line routes VPP and D3 to the pins where each chip type has them.
  if (ChipTypeLine512()) {
    lines.pin1 = d3;
    lines.pin22 = vpp;
  } else {
    lines.pin1 = vpp;
    lines.pin22 = d3;
  }
  lines.ceHigh = data_ & kCe;
  lines.vcc = Volts(SupplyVoltage());
  return lines;
}

std::uint8_t ProgrammerBoard::LatchOnBus() const {
  const std::uint8_t q = latch_.Outputs();
  std::uint8_t bus = 0;
  for (std::size_t pin = 0; pin < kLatchPinToBus.size(); ++pin) {
    if (q & (1u << pin)) bus |= static_cast<std::uint8_t>(1u << kLatchPinToBus[pin]);
  }
  return bus;
}

std::uint8_t ProgrammerBoard::DataBus() const {
  // Pull-ups hold an undriven line high; two drivers on one line pull it low.
  std::uint8_t bus = kFloatingBus;
  if (!(data_ & kOeDrive)) bus &= LatchOnBus();
  if (chip_) {
    if (const auto out = chip_->Output(Socket())) bus &= *out;
  }
  return bus;
}

std::uint8_t ProgrammerBoard::Status() const {
  const std::uint8_t bus = DataBus();
  const std::uint8_t y = selector_.Outputs(Gather(bus, kSelectorA), Gather(bus, kSelectorB));
  std::uint8_t status = kUnusedStatusBits;
  if (counter_.Feedback()) status |= 0x08;
  if (!(y & 0x01)) status |= 0x80;  // the port inverts S7
  if (y & 0x02) status |= 0x10;
  if (y & 0x04) status |= 0x20;
  if (y & 0x08) status |= 0x40;
  return status;
}

}  // namespace zelkor::sim
