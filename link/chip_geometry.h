// The two chip types, the 16384 counter steps of one pass over a chip, the bytes reached at
// each step and their order, and the board's address scramble. Plain data and pure functions:
// every scan takes its order from here.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace zelkor {

enum class Chip : std::int32_t { C27C256 = 1, C27C512 = 2 };

inline constexpr int kScanSteps = 16384;
inline constexpr int kLastScanIndex = kScanSteps - 1;
inline constexpr std::uint32_t kBufferSize = 65536;

// Every rule tells the 27C512 apart from every other value.
constexpr bool Is27C512(Chip type) {
  return type == Chip::C27C512;
}

constexpr int StepBytes(Chip type) {
  return Is27C512(type) ? 4 : 2;
}

constexpr std::uint32_t ChipSize(Chip type) {
  return static_cast<std::uint32_t>(StepBytes(type)) * kScanSteps;
}

// Where the chip's bytes lie in the image buffer: the 27C256 occupies the upper half.
constexpr std::uint32_t ChipBufferOffset(Chip type) {
  return kBufferSize - ChipSize(type);
}

enum class TopLine { A15, A14 };

struct LineCall {
  TopLine line;
  bool high;
};

// One sub-address of a counter step: the line calls that select it, in order, and the
// constant that makes ScanIndex its scan value.
struct SubAddress {
  std::array<LineCall, 2> calls;
  int callCount;
  std::uint16_t scanBase;

  std::span<const LineCall> Calls() const {
    return std::span<const LineCall>(calls.data(), static_cast<std::size_t>(callCount));
  }
};

// From the top quarter (or half) of the chip down; A15 is set before A14 where both change.
inline constexpr std::array<SubAddress, 4> k27C512SubAddresses{{
    {{{{TopLine::A15, true}, {TopLine::A14, true}}}, 2, 0xC000},
    {{{{TopLine::A14, false}, {}}}, 1, 0x8000},
    {{{{TopLine::A15, false}, {TopLine::A14, true}}}, 2, 0x4000},
    {{{{TopLine::A14, false}, {}}}, 1, 0x0000},
}};

inline constexpr std::array<SubAddress, 2> k27C256SubAddresses{{
    {{{{TopLine::A14, true}, {}}}, 1, 0xC000},
    {{{{TopLine::A14, false}, {}}}, 1, 0x8000},
}};

constexpr std::span<const SubAddress> SubAddresses(Chip type) {
  if (Is27C512(type)) return k27C512SubAddresses;
  return k27C256SubAddresses;
}

constexpr std::uint16_t ScanValue(int scanIndex, const SubAddress& sub) {
  return static_cast<std::uint16_t>(scanIndex + sub.scanBase);
}

// Buffer offset bit that each scan value bit goes to: the way the board's counter outputs
// reach the chip's A0 to A13, while A14 and A15 pass unchanged.
inline constexpr std::array<int, 16> kScrambleTargetBit{0, 10, 11, 3, 5, 9, 8,  13,
                                                        6, 7,  12, 4, 1, 2, 14, 15};

constexpr std::uint16_t ScrambleAddress(std::uint16_t value) {
  std::uint16_t offset = 0;
  for (int bit = 0; bit < 16; ++bit) {
    if (value & (1u << bit)) offset |= static_cast<std::uint16_t>(1u << kScrambleTargetBit[bit]);
  }
  return offset;
}

}  // namespace zelkor
