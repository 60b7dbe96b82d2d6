// The parallel port's three registers, the shadows of the two output registers and the three
// access primitives. These are program-wide: there is one board on one port per process.
#pragma once

#include <cstdint>

#include "link/port.h"

namespace zelkor {

inline constexpr std::uint16_t kFirstPortBase = 0x378;
inline constexpr std::uint16_t kSecondPortBase = 0x278;
inline constexpr std::uint16_t kStatusOffset = 1;
inline constexpr std::uint16_t kControlOffset = 2;

extern std::uint16_t DataPort;
extern std::uint16_t StatusPort;
extern std::uint16_t ControlPort;
extern std::uint8_t DataShadow;
extern std::uint8_t ControlShadow;

// The port space the primitives reach: real hardware or the simulated board.
void BindPort(Port& port);
// Back to a port space with nothing attached (tests end with it).
void UnbindPort();

// Sets the three port numbers together.
void SelectPortBase(std::uint16_t base);

// Each is one register access followed by one delay unit.
void WriteData();
void WriteControl();
std::uint8_t ReadStatus();

// The data register write that the pulse and the supply switch follow with their own wait.
void OutData();

}  // namespace zelkor
