// The scan order and the address scramble: every scan, image and file relies on the buffer
// holding a plain image of the chip, which only holds if these agree with each other.
#include "link/chip_geometry.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace zelkor::testing {
namespace {

std::string Hex(std::uint32_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

TEST(ScrambleAddress, MapsScanValuesToBufferOffsets) {
  struct Case {
    std::uint16_t value;
    std::uint16_t offset;
  };
  constexpr Case kCases[] = {
      // Worked examples.
      {0x0002, 0x0400},
      {0x1000, 0x0002},
      {0x0123, 0x0641},
      {0x8123, 0x8641},
      {0x6000, 0x4004},
      {0x00FF, 0x2F29},
      // Fixed points: all of the low 14 bits together, and the two top lines on their own.
      {0x0000, 0x0000},
      {0x3FFF, 0x3FFF},
      {0x4000, 0x4000},
      {0x8000, 0x8000},
      {0xC000, 0xC000},
      {0xFFFF, 0xFFFF},
      // Single bits.
      {0x0004, 0x0800},
      {0x0010, 0x0020},
      {0x0080, 0x2000},
      {0x0800, 0x0010},
      {0x2000, 0x0004},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Hex(ScrambleAddress(c.value)), Hex(c.offset)) << "scan value " << Hex(c.value);
  }
}

TEST(ScrambleAddress, IsOneToOneOnAllSixteenBitValues) {
  std::vector<bool> seen(kBufferSize, false);
  for (std::uint32_t value = 0; value < kBufferSize; ++value) {
    const std::uint16_t offset = ScrambleAddress(static_cast<std::uint16_t>(value));
    ASSERT_FALSE(seen[offset]) << "offset " << Hex(offset) << " reached twice, again by "
                               << Hex(value);
    seen[offset] = true;
  }
}

TEST(ChipScan, AWholeScanReachesEachOffsetOfTheChipsRangeExactlyOnce) {
  struct Case {
    Chip chip;
    std::uint32_t lowest;
  };
  for (const Case c : {Case{Chip::C27C512, 0x0000}, Case{Chip::C27C256, 0x8000}}) {
    std::vector<int> hits(kBufferSize, 0);
    for (int scanIndex = 0; scanIndex < kScanSteps; ++scanIndex) {
      for (const SubAddress& sub : SubAddresses(c.chip)) {
        ++hits[ScrambleAddress(ScanValue(scanIndex, sub))];
      }
    }
    for (std::uint32_t offset = 0; offset < kBufferSize; ++offset) {
      ASSERT_EQ(hits[offset], offset >= c.lowest ? 1 : 0)
          << "offset " << Hex(offset) << " chip " << static_cast<int>(c.chip);
    }
    EXPECT_EQ(ChipBufferOffset(c.chip), c.lowest);
  }
}

TEST(ChipScan, FirstAndLastStepsReachTheirOffsetsInSubAddressOrder) {
  struct Case {
    int scanIndex;
    std::array<std::uint16_t, 4> offsets;
  };
  constexpr Case kCases[] = {
      {0, {0xC000, 0x8000, 0x4000, 0x0000}},     {1, {0xC001, 0x8001, 0x4001, 0x0001}},
      {2, {0xC400, 0x8400, 0x4400, 0x0400}},     {3, {0xC401, 0x8401, 0x4401, 0x0401}},
      {256, {0xC040, 0x8040, 0x4040, 0x0040}},   {4096, {0xC002, 0x8002, 0x4002, 0x0002}},
      {16383, {0xFFFF, 0xBFFF, 0x7FFF, 0x3FFF}},
  };
  for (const Case& c : kCases) {
    for (const Chip chip : {Chip::C27C512, Chip::C27C256}) {
      // The 27C256 takes the top half of each row: its chip is the buffer's upper half.
      std::vector<std::string> expected, reached;
      for (int i = 0; i < StepBytes(chip); ++i) expected.push_back(Hex(c.offsets[i]));
      for (const SubAddress& sub : SubAddresses(chip)) {
        reached.push_back(Hex(ScrambleAddress(ScanValue(c.scanIndex, sub))));
      }
      EXPECT_EQ(reached, expected)
          << "ScanIndex " << c.scanIndex << " chip " << static_cast<int>(chip);
    }
  }
}

TEST(ChipScan, StepBytesTimesTheStepsIsTheChipSize) {
  struct Case {
    Chip chip;
    int stepBytes;
    std::uint32_t size;
  };
  // Only the 27C512's value counts as a 27C512; anything else is taken for the smaller chip.
  for (const Case c :
       {Case{Chip::C27C512, 4, 65536}, Case{Chip::C27C256, 2, 32768},
        Case{static_cast<Chip>(0), 2, 32768}, Case{static_cast<Chip>(3), 2, 32768}}) {
    EXPECT_EQ(StepBytes(c.chip), c.stepBytes) << static_cast<int>(c.chip);
    EXPECT_EQ(SubAddresses(c.chip).size(), static_cast<std::size_t>(c.stepBytes));
    EXPECT_EQ(ChipSize(c.chip), c.size);
    EXPECT_EQ(static_cast<std::uint32_t>(kScanSteps * StepBytes(c.chip)), c.size);
  }
  EXPECT_EQ(static_cast<int>(Chip::C27C256), 1);
  EXPECT_EQ(static_cast<int>(Chip::C27C512), 2);
}

// The line calls of one step in order, "|" between sub-addresses, and checks on the way that
// the levels the calls leave match the top bits of the sub-address's scan value.
std::string StepCalls(Chip chip) {
  std::string text;
  bool a14 = false, a15 = false;
  for (const SubAddress& sub : SubAddresses(chip)) {
    if (!text.empty()) text += " | ";
    std::string calls;
    for (const LineCall& call : sub.Calls()) {
      if (!calls.empty()) calls += ' ';
      calls += call.line == TopLine::A15 ? "A15" : "A14";
      calls += call.high ? '+' : '-';
      (call.line == TopLine::A15 ? a15 : a14) = call.high;
    }
    text += calls;
    EXPECT_EQ(a14, (sub.scanBase & 0x4000) != 0) << calls;
    // The 27C256 has no A15 line; its scan values all lie in the buffer's upper half.
    EXPECT_EQ(Is27C512(chip) ? a15 : true, (sub.scanBase & 0x8000) != 0) << calls;
    EXPECT_EQ(sub.scanBase & 0x3FFF, 0) << calls;
  }
  // Each step ends with its lines low, so the next one starts from the same levels.
  EXPECT_FALSE(a14);
  EXPECT_FALSE(a15);
  return text;
}

TEST(ChipScan, SubAddressesAreSelectedByTheirLineCallsInOrder) {
  EXPECT_EQ(StepCalls(Chip::C27C512), "A15+ A14+ | A14- | A15- A14+ | A14-");
  EXPECT_EQ(StepCalls(Chip::C27C256), "A14+ | A14-");
}

}  // namespace
}  // namespace zelkor::testing
