#include "link/line_protocol.h"

#include <array>

#include "link/delay_unit.h"
#include "link/port_registers.h"

namespace zelkor {

namespace {

void SetBits(std::uint8_t& shadow, std::uint8_t mask, bool on) {
  shadow =
      on ? static_cast<std::uint8_t>(shadow | mask) : static_cast<std::uint8_t>(shadow & ~mask);
}

// The two-bit voltage codes: the first select bit alone is 0 V, neither is 5 V, the second
// alone is the raised level. Any other level leaves both bits as they are.
void ApplyVoltageCode(std::uint8_t level, std::uint8_t raisedLevel, std::uint8_t firstBit,
                      std::uint8_t secondBit) {
  if (level == kVolts0) {
    SetBits(DataShadow, firstBit, true);
    SetBits(DataShadow, secondBit, false);
  } else if (level == kVolts5) {
    SetBits(DataShadow, firstBit | secondBit, false);
  } else if (level == raisedLevel) {
    SetBits(DataShadow, firstBit, false);
    SetBits(DataShadow, secondBit, true);
  }
}

// Read-back: which result bit each status bit carries in the first half (serial line 0)
// and in the second half (serial line 1).
struct ReadBackBits {
  std::uint8_t fromS7;
  std::uint8_t fromS4;
  std::uint8_t fromS5;
  std::uint8_t fromS6;
};
constexpr ReadBackBits kFirstHalf{0x02, 0x10, 0x08, 0x40};
constexpr ReadBackBits kSecondHalf{0x01, 0x04, 0x20, 0x80};

std::uint8_t DecodeHalf(std::uint8_t status, const ReadBackBits& bits) {
  std::uint8_t result = 0;
  if (!(status & kS7Inverted)) result |= bits.fromS7;
  if (status & kS4) result |= bits.fromS4;
  if (status & kS5) result |= bits.fromS5;
  if (status & kS6) result |= bits.fromS6;
  return result;
}

// The order in which the bits of a byte enter the latch; the ninth clock pushes the last one
// through the latch's output register.
constexpr std::array<int, 8> kLatchBitOrder{2, 1, 0, 7, 6, 5, 3, 4};

}  // namespace

void LineProtocol::SetVcc(std::uint8_t level) {
  ApplyVoltageCode(level, kVolts6, kD5VccSelect1, kD6VccSelect2);
  OutData();
  WaitUnits(kSupplySettleUnits);
}

void LineProtocol::SetVpp(std::uint8_t level) {
  ApplyVoltageCode(level, kVolts12, kD0VppSelect1, kD2VppSelect2);
  WriteData();
}

void LineProtocol::SetOeDrive(bool on) {
  SetBits(DataShadow, kD1OeDrive, on);
  WriteData();
}

void LineProtocol::SetA15(bool high) {
  SetBits(DataShadow, kD3A15, high);
  WriteData();
}

void LineProtocol::SetA14(bool high) {
  SetBits(DataShadow, kD4A14, high);
  WriteData();
}

void LineProtocol::SetCeLine(bool high) {
  SetBits(DataShadow, kD7ChipEnable, high);
  WriteData();
}

void LineProtocol::SetChipOutputs(bool on) {
  if (Is27C512(chipType_)) {
    // The 27C512's output enable shares its pin with VPP: the 0 V code turns it on.
    SetBits(DataShadow, kD0VppSelect1 | kD1OeDrive, on);
    SetBits(DataShadow, kD2VppSelect2, false);
  } else {
    SetBits(DataShadow, kD1OeDrive, on);
    SetBits(DataShadow, kD3A15, !on);
  }
  WriteData();
}

void LineProtocol::ApplyChipTypeLine() {
  SetBits(ControlShadow, kC0ChipType, Is27C512(chipType_));
  WriteControl();
}

void LineProtocol::SetSerialLine(bool bit) {
  SetBits(ControlShadow, kC3SerialLine, !bit);
  WriteControl();
}

void LineProtocol::PulseShiftClock() {
  SetBits(ControlShadow, kC2ShiftClock, false);
  WriteControl();
  SetBits(ControlShadow, kC2ShiftClock, true);
  WriteControl();
}

std::uint8_t LineProtocol::ReadDataByte() {
  SetSerialLine(false);
  const std::uint8_t first = ReadStatus();
  SetSerialLine(true);
  const std::uint8_t second = ReadStatus();
  return DecodeHalf(first, kFirstHalf) | DecodeHalf(second, kSecondHalf);
}

bool LineProtocol::LoadDataLatch(std::uint8_t value) {
  for (int bit : kLatchBitOrder) {
    SetSerialLine((value >> bit) & 1);
    PulseShiftClock();
  }
  PulseShiftClock();
  SetChipOutputs(false);
  if (ReadDataByte() == value) return true;
  feedback_.ShowMessage(kLatchErrorText);
  feedback_.RepaintWindow();
  PowerDown(false);
  return false;
}

bool LineProtocol::CounterStep() {
  const std::uint8_t before = ReadStatus() & kS3CounterFeedback;
  SetBits(ControlShadow, kC1CounterClock, true);
  WriteControl();
  SetBits(ControlShadow, kC1CounterClock, false);
  WriteControl();
  const std::uint8_t after = ReadStatus() & kS3CounterFeedback;
  return before != after;
}

bool LineProtocol::SyncCounter() {
  for (int step = 0; step < kSyncMaxSteps; ++step) {
    if (CounterStep()) return true;
  }
  return false;
}

bool LineProtocol::VerifyByte(std::uint8_t expected) {
  SetChipOutputs(true);
  return ReadDataByte() == expected;
}

void LineProtocol::ProgramPulse(std::uint16_t width) {
  const PreparedWait pulse = PrepareWait(width);
  SetChipOutputs(false);
  // Supply 6 V, programming voltage 12.75 V and chip enable high in one write.
  SetBits(DataShadow, kD7ChipEnable | kD6VccSelect2 | kD2VppSelect2, true);
  SetBits(DataShadow, kD5VccSelect1 | kD0VppSelect1, false);
  WriteData();
  SetBits(DataShadow, kD7ChipEnable, false);
  OutData();
  RunWait(pulse);
  SetBits(DataShadow, kD7ChipEnable, true);
  WriteData();
  SetVpp(kVolts5);
  SetCeLine(false);
  SetChipOutputs(true);
}

void LineProtocol::EnterSafeState() {
  LoadDataLatch(0);
  ApplyChipTypeLine();
  SetOeDrive(true);
  SetA15(false);
  SetVpp(kVolts0);
  SetCeLine(false);
  SetA14(false);
  SyncCounter();
  SetVcc(kVolts0);
}

void LineProtocol::PowerDown(bool loadLatch) {
  if (loadLatch) LoadDataLatch(0);
  SetOeDrive(true);
  SetA15(false);
  SetVpp(kVolts0);
  SetCeLine(false);
  SetA14(false);
  SyncCounter();
  SetVcc(kVolts0);
}

bool LineProtocol::DetectProgrammer() {
  DataShadow = 0;
  ControlShadow = 0;
  SelectPortBase(kFirstPortBase);
  if (!SyncCounter()) {
    SelectPortBase(kSecondPortBase);
    if (!SyncCounter()) {
      feedback_.ShowMessage(kNotFoundText);
      PowerDown(true);
      return false;
    }
  }
  EnterSafeState();
  return true;
}

}  // namespace zelkor
