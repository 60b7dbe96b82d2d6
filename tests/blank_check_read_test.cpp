#include "operations/blank_check_read.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "board_fixture.h"

namespace zelkor::testing {
namespace {

using sim::Eprom;
using sim::EpromType;
using sim::ProgrammerBoard;

class BlankCheckReadTest : public BoardFixture {
 protected:
  void Insert(Chip chip, std::vector<std::uint8_t> content = {}) {
    chipType_ = chip;
    const EpromType type = Is27C512(chip) ? EpromType::C27C512 : EpromType::C27C256;
    Board().InsertChip(content.empty() ? std::make_unique<Eprom>(type)
                                       : std::make_unique<Eprom>(type, std::move(content)));
  }

  // A pattern that no wrong address or bit order reproduces.
  static std::vector<std::uint8_t> Pattern(Chip chip) {
    std::vector<std::uint8_t> bytes(ChipSize(chip));
    for (std::uint32_t a = 0; a < bytes.size(); ++a) {
      bytes[a] = static_cast<std::uint8_t>(a * 7 + (a >> 8) * 13 + 1);
    }
    return bytes;
  }

  // The last two data register writes: programming voltage, then supply, off.
  void ExpectVoltagesSwitchedOff(std::uint16_t dataPort) {
    const auto writes = WritesTo(dataPort);
    ASSERT_GE(writes.size(), 2u);
    const std::uint8_t vppOff = writes[writes.size() - 2].value;
    const std::uint8_t vccOff = writes.back().value;
    EXPECT_EQ(vppOff & (kD0VppSelect1 | kD2VppSelect2), kD0VppSelect1);
    EXPECT_EQ(vccOff & (kD5VccSelect1 | kD6VccSelect2), kD5VccSelect1);
  }

  bool isBlank_ = false;
  bool lastStepChanged_ = false;
  OperationContext op_{line_, feedback_, chipType_, lastStepChanged_};
  ImageBytes buffer_{};
};

std::vector<std::string> Statuses(const std::string& prefix, int stepBytes, int count) {
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(prefix + ProgressAddress(i * 256, stepBytes));
  return texts;
}

std::vector<std::string> ScanGauge() {
  std::vector<std::string> positions;
  for (int i = 0; i < 16384; i += 256) positions.push_back(std::to_string(i));
  positions.push_back("16383");
  positions.push_back("0");
  return positions;
}

TEST(ProgressAddress, CountsBytesHandledInFourUpperCaseDigits) {
  EXPECT_EQ(ProgressAddress(0, 4), "0000");
  EXPECT_EQ(ProgressAddress(256, 4), "0400");
  EXPECT_EQ(ProgressAddress(16128, 4), "FC00");
  EXPECT_EQ(ProgressAddress(16383, 4), "FFFC");
  EXPECT_EQ(ProgressAddress(16383, 2), "7FFE");
}

TEST_F(BlankCheckReadTest, BlankChipPassesInBothModesWithItsOwnTexts) {
  struct Case {
    Chip chip;
    BlankCheckMode mode;
    std::string last;
  };
  for (const Case& c : {Case{Chip::C27C512, BlankCheckMode::Interactive, "FFFC"},
                        Case{Chip::C27C256, BlankCheckMode::Interactive, "7FFE"},
                        Case{Chip::C27C512, BlankCheckMode::Silent, "FFFC"},
                        Case{Chip::C27C256, BlankCheckMode::Silent, "7FFE"}}) {
    Attach(std::make_unique<ProgrammerBoard>(kFirstPortBase, 777));
    Insert(c.chip);
    feedback_.events.clear();
    const bool interactive = c.mode == BlankCheckMode::Interactive;
    BlankCheck(op_, c.mode, isBlank_);
    EXPECT_TRUE(isBlank_);

    std::vector<std::string> statuses{"Инициализация..."};
    if (interactive) {
      const auto scan = Statuses("Читаем адрес ", StepBytes(c.chip), 64);
      statuses.insert(statuses.end(), scan.begin(), scan.end());
    } else {
      statuses.push_back("Проверка чистоты...");
    }
    statuses.push_back("Читаем адрес " + c.last);
    statuses.push_back("Готов");
    EXPECT_EQ(feedback_.Of("status"), statuses);
    EXPECT_EQ(feedback_.Of("message"),
              interactive ? std::vector<std::string>{"ПЗУ чистая"} : std::vector<std::string>{});
    EXPECT_EQ(feedback_.Of("gauge"), ScanGauge());
    EXPECT_EQ(feedback_.Of("max"), std::vector<std::string>{"16383"});
    // The busy state: disabled then hourglass; default cursor first, enabled last.
    EXPECT_EQ(feedback_.events.front(), "enabled:0");
    EXPECT_EQ(feedback_.events[1], "hourglass:1");
    EXPECT_EQ(feedback_.events.back(), "enabled:1");
    ExpectVoltagesSwitchedOff(kFirstPortBase);
  }
}

TEST_F(BlankCheckReadTest, FirstByteNotBlankStopsBeforeAnyCounterStep) {
  auto content = std::vector<std::uint8_t>(65536, 0xFF);
  content[0xC000] = 0x00;  // the very first access of the first step
  for (const BlankCheckMode mode : {BlankCheckMode::Interactive, BlankCheckMode::Silent}) {
    Attach(std::make_unique<ProgrammerBoard>());
    Insert(Chip::C27C512, content);
    feedback_.events.clear();
    isBlank_ = true;
    std::size_t accessesAtStop = 0;
    std::uint64_t clocksAtStop = 0;
    feedback_.onMessage = [&](const std::string&) {
      accessesAtStop = Accesses().size();
      clocksAtStop = Board().Counter().Clocks();
    };
    BlankCheck(op_, mode, isBlank_);
    EXPECT_FALSE(isBlank_);
    EXPECT_EQ(feedback_.Of("gauge"), (std::vector<std::string>{"0", "0"}));
    if (mode == BlankCheckMode::Interactive) {
      EXPECT_EQ(feedback_.Of("message"), std::vector<std::string>{"ПЗУ не чистая!"});
      // After the box only the closing's two voltage writes, no outputs off, no counter step.
      EXPECT_EQ(Accesses().size(), accessesAtStop + 2);
      EXPECT_EQ(Board().Counter().Clocks(), clocksAtStop);
    } else {
      EXPECT_TRUE(feedback_.Of("message").empty());
    }
    EXPECT_EQ(feedback_.Of("status").back(), "Готов");
    ExpectVoltagesSwitchedOff(kFirstPortBase);
  }
}

TEST_F(BlankCheckReadTest, ReadFillsTheChipsRangeOfTheBufferAndCounts) {
  struct Case {
    Chip chip;
    bool pattern;  // else every byte 0x00
  };
  for (const Case& c : {Case{Chip::C27C512, true}, Case{Chip::C27C256, true},
                        Case{Chip::C27C512, false}, Case{Chip::C27C256, false}}) {
    Attach(std::make_unique<ProgrammerBoard>(kFirstPortBase, 12345));
    const auto content =
        c.pattern ? Pattern(c.chip) : std::vector<std::uint8_t>(ChipSize(c.chip), 0);
    Insert(c.chip, content);
    feedback_.events.clear();
    buffer_.fill(0x5A);  // what the read must replace, or leave alone below a 27C256
    ReadChip(op_, buffer_);

    const std::uint32_t offset = ChipBufferOffset(c.chip);
    EXPECT_TRUE(std::equal(content.begin(), content.end(), buffer_.begin() + offset));
    EXPECT_TRUE(std::all_of(buffer_.begin(), buffer_.begin() + offset,
                            [](std::uint8_t b) { return b == 0x5A; }));
    const auto count =
        std::count_if(content.begin(), content.end(), [](std::uint8_t b) { return b != 0xFF; });
    EXPECT_EQ(feedback_.Of("message"),
              std::vector<std::string>{std::to_string(count) + " байт, отличных от FF."});
    if (!c.pattern) {
      EXPECT_EQ(count, static_cast<long>(ChipSize(c.chip)));
    }
    EXPECT_EQ(feedback_.bufferStatus, "В буфере данные, считанные из ПЗУ");
    EXPECT_EQ(feedback_.Of("gauge"), ScanGauge());
    EXPECT_EQ(feedback_.Of("status").back(), "Готов");
    ExpectVoltagesSwitchedOff(kFirstPortBase);
  }
}

TEST_F(BlankCheckReadTest, BufferStatusChangesOnlyAfterTheCountMessage) {
  Insert(Chip::C27C512);
  ReadChip(op_, buffer_);
  const auto& e = feedback_.events;
  const auto message = std::find(e.begin(), e.end(), "message:0 байт, отличных от FF.");
  const auto text = std::find(e.begin(), e.end(), "buffer:В буфере данные, считанные из ПЗУ");
  ASSERT_NE(message, e.end());
  EXPECT_EQ(text, message + 1);
}

TEST_F(BlankCheckReadTest, CountingErrorAfterAllStepsLeavesTheBufferAsItWas) {
  sim::BoardFaults faults;
  faults.counter = sim::CounterFault::ShortCycle;  // the feedback changes one step early
  for (const bool read : {true, false}) {
    Attach(std::make_unique<ProgrammerBoard>(kFirstPortBase, 0, faults));
    Insert(Chip::C27C512, read ? Pattern(Chip::C27C512) : std::vector<std::uint8_t>{});
    feedback_.events.clear();
    feedback_.bufferStatus = "В буфере данные из файла \"a.bin\"";
    buffer_.fill(0x5A);
    isBlank_ = true;
    std::uint64_t clocksBefore = 0;
    feedback_.onMessage = [&](const std::string&) { clocksBefore = Board().Counter().Clocks(); };
    if (read) {
      ReadChip(op_, buffer_);
    } else {
      BlankCheck(op_, BlankCheckMode::Interactive, isBlank_);
    }
    EXPECT_EQ(feedback_.Of("message"), std::vector<std::string>{"Ошибка счета."});
    const auto statuses = feedback_.Of("status");
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[statuses.size() - 2], "Читаем адрес FC00");
    EXPECT_EQ(statuses.back(), "Готов");
    if (read) {
      EXPECT_TRUE(
          std::all_of(buffer_.begin(), buffer_.end(), [](std::uint8_t b) { return b == 0x5A; }));
    } else {
      EXPECT_FALSE(isBlank_);
    }
    EXPECT_EQ(feedback_.bufferStatus, "В буфере данные из файла \"a.bin\"");
    EXPECT_GE(clocksBefore, 16384u);
  }
}

TEST_F(BlankCheckReadTest, NoBoardReportsTheSearchAndStillSwitchesTheVoltagesOff) {
  for (const bool read : {true, false}) {
    Attach(nullptr);
    feedback_.events.clear();
    feedback_.bufferStatus = "Буфер пустой (0FFh)";
    buffer_.fill(0x33);
    isBlank_ = true;  // an earlier check had passed
    if (read) {
      ReadChip(op_, buffer_);
    } else {
      BlankCheck(op_, BlankCheckMode::Silent, isBlank_);
    }
    EXPECT_EQ(feedback_.Of("message"), (std::vector<std::string>{"Программатор не найден.",
                                                                 "Ошибка программатора 595/157"}));
    EXPECT_EQ(feedback_.Of("status"), (std::vector<std::string>{"Инициализация...", "Готов"}));
    EXPECT_EQ(feedback_.Of("gauge"), std::vector<std::string>{"0"});
    EXPECT_FALSE(isBlank_ && !read);
    EXPECT_TRUE(
        std::all_of(buffer_.begin(), buffer_.end(), [](std::uint8_t b) { return b == 0x33; }));
    EXPECT_EQ(feedback_.bufferStatus, "Буфер пустой (0FFh)");
    ExpectVoltagesSwitchedOff(kSecondPortBase);
  }
}

}  // namespace
}  // namespace zelkor::testing
