// Everything the program does to the programmer board: each line operation names the bits it
// changes in a shadow, then writes the whole shadow to its register.
#pragma once

#include <cstdint>

#include "link/chip_geometry.h"
#include "link/operator_feedback.h"

namespace zelkor {

// Data register bits.
inline constexpr std::uint8_t kD0VppSelect1 = 0x01;
inline constexpr std::uint8_t kD1OeDrive = 0x02;
inline constexpr std::uint8_t kD2VppSelect2 = 0x04;
inline constexpr std::uint8_t kD3A15 = 0x08;  // output enable of the 27C256
inline constexpr std::uint8_t kD4A14 = 0x10;
inline constexpr std::uint8_t kD5VccSelect1 = 0x20;
inline constexpr std::uint8_t kD6VccSelect2 = 0x40;
inline constexpr std::uint8_t kD7ChipEnable = 0x80;

// Control register bits; bits 4 to 7 are never set.
inline constexpr std::uint8_t kC0ChipType = 0x01;
inline constexpr std::uint8_t kC1CounterClock = 0x02;
inline constexpr std::uint8_t kC2ShiftClock = 0x04;
inline constexpr std::uint8_t kC3SerialLine = 0x08;

// Status register bits.
inline constexpr std::uint8_t kS3CounterFeedback = 0x08;
inline constexpr std::uint8_t kS4 = 0x10;
inline constexpr std::uint8_t kS5 = 0x20;
inline constexpr std::uint8_t kS6 = 0x40;
inline constexpr std::uint8_t kS7Inverted = 0x80;

// Voltage levels as the operations take them; 12 stands for 12.75 V.
inline constexpr std::uint8_t kVolts0 = 0;
inline constexpr std::uint8_t kVolts5 = 5;
inline constexpr std::uint8_t kVolts6 = 6;
inline constexpr std::uint8_t kVolts12 = 12;

inline constexpr int kSyncMaxSteps = 16384;
inline constexpr std::uint16_t kNormalPulseUnits = 400;
inline constexpr std::uint16_t kRapidPulseUnits = 20;

inline constexpr const char* kLatchErrorText = "Ошибка программатора 595/157";
inline constexpr const char* kNotFoundText = "Программатор не найден.";

class LineProtocol {
 public:
  // chipType is the main window's field, read each time an operation depends on it.
  LineProtocol(OperatorFeedback& feedback, const Chip& chipType)
      : feedback_(feedback), chipType_(chipType) {}

  void SetVcc(std::uint8_t level);
  void SetVpp(std::uint8_t level);
  void SetOeDrive(bool on);
  void SetA15(bool high);
  void SetA14(bool high);
  void SetCeLine(bool high);
  void SetChipOutputs(bool on);
  void ApplyChipTypeLine();
  void SetSerialLine(bool bit);
  void PulseShiftClock();

  std::uint8_t ReadDataByte();
  bool LoadDataLatch(std::uint8_t value);
  bool CounterStep();
  bool SyncCounter();
  bool VerifyByte(std::uint8_t expected);
  void ProgramPulse(std::uint16_t width);
  void EnterSafeState();
  void PowerDown(bool loadLatch);
  bool DetectProgrammer();

 private:
  OperatorFeedback& feedback_;
  const Chip& chipType_;
};

}  // namespace zelkor
