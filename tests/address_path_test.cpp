// A whole scan through the board, done the way a read does it: the byte the line protocol
// reads at each step and sub-address must be the chip byte that ScrambleAddress names. Two
// passes, one with each chip byte holding the low half of its own address and one with the
// high half, tell every address bit apart, so any line that reaches the wrong address pin
// shows up.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "board_fixture.h"
#include "link/chip_geometry.h"
#include "link/line_protocol.h"
#include "sim/eprom.h"
#include "sim/programmer_board.h"

namespace zelkor::testing {
namespace {

enum class AddressHalf { Low, High };

std::vector<std::uint8_t> AddressPattern(std::uint32_t size, AddressHalf half) {
  std::vector<std::uint8_t> bytes(size);
  for (std::uint32_t a = 0; a < size; ++a) {
    bytes[a] = static_cast<std::uint8_t>(half == AddressHalf::Low ? a : a >> 8);
  }
  return bytes;
}

class AddressPathTest : public BoardFixture, public ::testing::WithParamInterface<Chip> {
 protected:
  // One pass over the chip; returns how many bytes differed from what the scramble names.
  int ScanAndCompare(const std::vector<std::uint8_t>& content) {
    const Chip chip = GetParam();
    Board().Chip()->Content() = content;
    if (!line_.DetectProgrammer()) {
      ADD_FAILURE() << "board not found";
      return -1;
    }
    line_.SetVcc(kVolts5);
    line_.SetCeLine(false);
    if (!line_.SyncCounter()) {
      ADD_FAILURE() << "counter did not synchronise";
      return -1;
    }
    int wrong = 0;
    for (int scanIndex = 0; scanIndex < kScanSteps; ++scanIndex) {
      line_.SetChipOutputs(true);
      for (const SubAddress& sub : SubAddresses(chip)) {
        for (const LineCall& call : sub.Calls()) {
          if (call.line == TopLine::A15) {
            line_.SetA15(call.high);
          } else {
            line_.SetA14(call.high);
          }
        }
        const std::uint32_t offset = ScrambleAddress(ScanValue(scanIndex, sub));
        if (offset < ChipBufferOffset(chip)) {
          // Outside the chip's part of the buffer: a scan must never store there.
          if (++wrong <= 5) ADD_FAILURE() << "ScanIndex " << scanIndex << " offset " << offset;
          line_.ReadDataByte();
          continue;
        }
        const std::uint8_t expected = content[offset - ChipBufferOffset(chip)];
        const std::uint8_t read = line_.ReadDataByte();
        if (read != expected && ++wrong <= 5) {
          ADD_FAILURE() << "ScanIndex " << scanIndex << " scan value " << std::hex
                        << ScanValue(scanIndex, sub) << " offset " << offset << ": read "
                        << int(read) << ", chip holds " << int(expected);
        }
      }
      line_.SetChipOutputs(false);
      // Only the step that completes the counter's cycle moves its feedback.
      EXPECT_EQ(line_.CounterStep(), scanIndex == kLastScanIndex) << "ScanIndex " << scanIndex;
    }
    return wrong;
  }
};

TEST_P(AddressPathTest, EveryByteReadLandsAtTheOffsetOfItsChipAddress) {
  const Chip chip = GetParam();
  chipType_ = chip;
  Board().InsertChip(std::make_unique<sim::Eprom>(Is27C512(chip) ? sim::EpromType::C27C512
                                                                 : sim::EpromType::C27C256));
  for (const AddressHalf half : {AddressHalf::Low, AddressHalf::High}) {
    EXPECT_EQ(ScanAndCompare(AddressPattern(ChipSize(chip), half)), 0)
        << (half == AddressHalf::Low ? "low" : "high") << " address byte pattern";
  }
  EXPECT_TRUE(feedback_.events.empty()) << feedback_.events.front();
  EXPECT_FALSE(Board().ShortSeen());
}

INSTANTIATE_TEST_SUITE_P(BothChips, AddressPathTest,
                         ::testing::Values(Chip::C27C512, Chip::C27C256),
                         [](const ::testing::TestParamInfo<Chip>& info) {
                           return std::string(Is27C512(info.param) ? "C27C512" : "C27C256");
                         });

}  // namespace
}  // namespace zelkor::testing
