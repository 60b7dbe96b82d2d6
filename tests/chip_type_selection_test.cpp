// Changing the chip type discards the image and moves the board's chip-type line at once,
// with or without a board, and touches nothing else on the port or in the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/zelkor_logic.h"
#include "board_fixture.h"
#include "idle_timing.h"

namespace zelkor::testing {
namespace {

constexpr const char* kEarlierStatus = "В буфере данные, считанные из ПЗУ";

class ChipTypeSelectionTest : public BoardFixture {
 protected:
  // The buffer and its line as a read or load would have left them.
  void FillBuffer() {
    for (std::size_t i = 0; i < logic_.ImageBuffer.size(); ++i) {
      logic_.ImageBuffer[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    feedback_.bufferStatus = kEarlierStatus;
  }

  // Clicks the button and returns every port access the click made.
  std::vector<PortAccess> Click(Sender button) {
    const std::size_t before = Accesses().size();
    feedback_.events.clear();
    logic_.rb256512Click(button);
    return {Accesses().begin() + static_cast<std::ptrdiff_t>(before), Accesses().end()};
  }

  void ExpectEmptied(Chip chip) {
    EXPECT_TRUE(std::all_of(logic_.ImageBuffer.begin(), logic_.ImageBuffer.end(),
                            [](std::uint8_t b) { return b == kErasedByte; }));
    EXPECT_EQ(feedback_.bufferStatus, "Буфер пустой (0FFh)");
    EXPECT_EQ(logic_.ChipType, chip);
    // No busy state, status line, gauge or question: only the buffer line changes.
    EXPECT_EQ(feedback_.events, std::vector<std::string>{"buffer:Буфер пустой (0FFh)"});
  }

  IdleTiming timing_;
  ZelkorLogic logic_{feedback_, timing_, "/opt/zelkor/zelkor"};
};

TEST_F(ChipTypeSelectionTest, EachChangeEmptiesTheBufferAndWritesOnlyTheChipTypeLine) {
  ASSERT_TRUE(logic_.Line().DetectProgrammer());
  const std::uint8_t controlBefore = ControlShadow;
  struct Case {
    Sender button;
    Chip chip;
    bool line512;
  };
  for (const Case c :
       {Case{Sender::rb256, Chip::C27C256, false}, Case{Sender::rb512, Chip::C27C512, true}}) {
    FillBuffer();
    const auto accesses = Click(c.button);
    ExpectEmptied(c.chip);
    // One write of the control register, C0 alone following the chip; no board search.
    ASSERT_EQ(accesses.size(), 1u);
    EXPECT_EQ(accesses[0].direction, Direction::Write);
    EXPECT_EQ(accesses[0].port, kFirstPortBase + kControlOffset);
    EXPECT_EQ(accesses[0].value & kC0ChipType, c.line512 ? kC0ChipType : 0);
    EXPECT_EQ(accesses[0].value & ~kC0ChipType, controlBefore & ~kC0ChipType);
    EXPECT_EQ(Board().ChipTypeLine512(), c.line512);
  }
}

TEST_F(ChipTypeSelectionTest, WithNoBoardTheLineIsWrittenOnTheSecondAddress) {
  Attach(nullptr);
  EXPECT_FALSE(logic_.Line().DetectProgrammer());
  ASSERT_EQ(ControlPort, kSecondPortBase + kControlOffset);
  for (const auto& [button, chip] :
       {std::pair{Sender::rb256, Chip::C27C256}, std::pair{Sender::rb512, Chip::C27C512}}) {
    FillBuffer();
    const auto accesses = Click(button);
    ExpectEmptied(chip);
    ASSERT_EQ(accesses.size(), 1u);
    EXPECT_EQ(accesses[0].direction, Direction::Write);
    EXPECT_EQ(accesses[0].port, 0x27A);
    EXPECT_EQ(accesses[0].value & kC0ChipType, Is27C512(chip) ? kC0ChipType : 0);
  }
}

}  // namespace
}  // namespace zelkor::testing
