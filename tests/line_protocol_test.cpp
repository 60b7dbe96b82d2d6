#include "link/line_protocol.h"

#include <gtest/gtest.h>

#include <random>

#include "board_fixture.h"

namespace zelkor::testing {
namespace {

using sim::BoardFaults;
using sim::CounterFault;
using sim::ProgrammerBoard;
using sim::StuckLevel;

constexpr std::uint16_t kData1 = kFirstPortBase;
constexpr std::uint16_t kControl1 = kFirstPortBase + kControlOffset;
constexpr std::uint16_t kData2 = kSecondPortBase;
constexpr std::uint16_t kControl2 = kSecondPortBase + kControlOffset;

using LineProtocolTest = BoardFixture;

std::size_t CounterClocksOn(const std::vector<PortAccess>& writes) {
  std::size_t clocks = 0;
  for (const auto& w : writes) clocks += (w.value & kC1CounterClock) ? 1 : 0;
  return clocks;
}

TEST_F(LineProtocolTest, SafeStateLeavesTheRegistersWhateverTheChipTypeWasBefore) {
  struct Case {
    Chip before;
    Chip now;
    std::uint8_t control;
  };
  for (const Case c :
       {Case{Chip::C27C512, Chip::C27C256, 0x04}, Case{Chip::C27C256, Chip::C27C512, 0x05},
        Case{Chip::C27C512, Chip::C27C512, 0x05}}) {
    chipType_ = c.before;
    ASSERT_TRUE(line_.DetectProgrammer());
    line_.SetVcc(kVolts6);
    line_.SetChipOutputs(true);
    chipType_ = c.now;
    line_.EnterSafeState();
    EXPECT_EQ(WritesTo(kData1).back().value, 0x23);
    EXPECT_EQ(WritesTo(kControl1).back().value, c.control);
    EXPECT_EQ(Board().DataRegister(), 0x23);
    EXPECT_EQ(Board().ControlRegister(), c.control);
    EXPECT_EQ(Board().SupplyVoltage(), sim::Supply::Off);
    EXPECT_EQ(Board().ProgrammingVoltage(), sim::Programming::Off);
  }
  EXPECT_TRUE(feedback_.events.empty()) << feedback_.events.front();
}

TEST_F(LineProtocolTest, DetectsTheBoardOnTheFirstAddressWithoutTouchingTheSecond) {
  std::mt19937 random(2026);
  for (std::uint32_t powerOn : {0u, 1u, 8191u, 16383u, static_cast<std::uint32_t>(random() % 16384),
                                static_cast<std::uint32_t>(random() % 16384)}) {
    Attach(std::make_unique<ProgrammerBoard>(kFirstPortBase, powerOn));
    EXPECT_TRUE(line_.DetectProgrammer()) << powerOn;
    EXPECT_EQ(DataPort, kFirstPortBase);
    EXPECT_EQ(StatusPort, kFirstPortBase + 1);
    EXPECT_EQ(ControlPort, kFirstPortBase + 2);
    for (const auto& a : Accesses()) EXPECT_EQ(a.port & 0xFF00, 0x0300) << FormatAccess(a);
    // The safe state's synchronisation leaves the counter just past its feedback change.
    EXPECT_EQ(Board().Counter().Position(), 0u) << powerOn;
  }
}

TEST_F(LineProtocolTest, DetectsTheBoardOnTheSecondAddressAfterAFullCycleOnTheFirst) {
  Attach(std::make_unique<ProgrammerBoard>(kSecondPortBase, 5000));
  EXPECT_TRUE(line_.DetectProgrammer());
  EXPECT_EQ(DataPort, kSecondPortBase);
  EXPECT_EQ(ControlPort, kSecondPortBase + 2);
  // While it searches the control register receives only the counter clock.
  const auto firstControl = WritesTo(kControl1);
  EXPECT_EQ(CounterClocksOn(firstControl), 16384u);
  for (std::size_t i = 0; i < firstControl.size(); ++i) {
    EXPECT_EQ(firstControl[i].value, i % 2 == 0 ? 0x02 : 0x00);
  }
  EXPECT_TRUE(WritesTo(kData1).empty());
  EXPECT_EQ(Board().DataRegister(), 0x23);
  EXPECT_EQ(Board().ControlRegister(), 0x05);
}

TEST_F(LineProtocolTest, FirstDataWriteAfterTheSearchKeepsBothVoltagesAtFiveVolts) {
  for (const auto& [chip, first] :
       {std::pair{Chip::C27C512, 0x00}, std::pair{Chip::C27C256, 0x08}}) {
    Attach(std::make_unique<ProgrammerBoard>());
    chipType_ = chip;
    ASSERT_TRUE(line_.DetectProgrammer());
    const auto writes = WritesTo(kData1);
    EXPECT_EQ(writes.front().value, first);
    // Supply code 5 V through the latch check and synchronisation; 0 V only with the last write.
    for (std::size_t i = 0; i + 1 < writes.size(); ++i) {
      EXPECT_EQ(writes[i].value & (kD5VccSelect1 | kD6VccSelect2), 0) << i;
    }
    EXPECT_EQ(writes.back().value, 0x23);
  }
}

// The logical serial level at each rising edge of the shift clock.
std::vector<int> SerialBitsAtShiftClocks(const std::vector<PortAccess>& controlWrites) {
  std::vector<int> bits;
  bool clock = true;
  for (const auto& w : controlWrites) {
    const bool now = w.value & kC2ShiftClock;
    if (now && !clock) bits.push_back((w.value & kC3SerialLine) ? 0 : 1);
    clock = now;
  }
  return bits;
}

TEST_F(LineProtocolTest, LoadDataLatchShiftsBitsInTheBoardsOrderWithANinthClock) {
  struct Case {
    std::uint8_t value;
    std::vector<int> serial;
  };
  for (const Case& c :
       {Case{0x01, {0, 0, 1, 0, 0, 0, 0, 0, 0}}, Case{0x10, {0, 0, 0, 0, 0, 0, 0, 1, 1}},
        Case{0xA6, {1, 1, 0, 1, 0, 1, 0, 0, 0}}}) {
    Attach(std::make_unique<ProgrammerBoard>());
    ControlShadow = kC2ShiftClock;
    EXPECT_TRUE(line_.LoadDataLatch(c.value));
    EXPECT_EQ(SerialBitsAtShiftClocks(WritesTo(kControl1)), c.serial) << int(c.value);
  }
}

TEST_F(LineProtocolTest, EveryLatchValueReadsBackThroughTheBoard) {
  for (int v = 0; v < 256; ++v) {
    ASSERT_TRUE(line_.LoadDataLatch(static_cast<std::uint8_t>(v))) << v;
    ASSERT_EQ(Board().LatchOnBus(), v);
  }
  EXPECT_TRUE(feedback_.events.empty());
}

TEST_F(LineProtocolTest, LoadDataLatchTakesThirtyOneUnits) {
  const std::uint64_t start = BoardTime();
  ASSERT_TRUE(line_.LoadDataLatch(0x5A));
  EXPECT_EQ(BoardTime() - start, 31u);
  EXPECT_EQ(Accesses().size(), 31u);
}

// Answers every status read from a script; writes go nowhere.
class ScriptedStatus : public Port {
 public:
  std::vector<std::uint8_t> reads;
  void Out(std::uint16_t, std::uint8_t) override {}
  std::uint8_t In(std::uint16_t) override {
    const std::uint8_t v = reads.at(next_++);
    return v;
  }

 private:
  std::size_t next_ = 0;
};

TEST(ReadDataByte, DecodesTheTwoStatusHalves) {
  struct Case {
    std::uint8_t first, second, expected;
  };
  for (const Case c : {Case{0x80, 0x80, 0x00}, Case{0x00, 0x00, 0x03}, Case{0xFF, 0xFF, 0xFC},
                       Case{0x78, 0x78, 0xFF}, Case{0x90, 0x80, 0x10}, Case{0xA0, 0x80, 0x08},
                       Case{0xC0, 0x80, 0x40}, Case{0x80, 0x90, 0x04}, Case{0x80, 0xA0, 0x20},
                       Case{0x80, 0xC0, 0x80}, Case{0x07, 0x8F, 0x02}}) {
    ScriptedStatus port;
    port.reads = {c.first, c.second};
    BindPort(port);
    DelayCount = 1;
    RecordingFeedback feedback;
    Chip chip = Chip::C27C512;
    LineProtocol line(feedback, chip);
    EXPECT_EQ(line.ReadDataByte(), c.expected) << std::hex << int(c.first) << " " << int(c.second);
    EXPECT_EQ(ControlShadow & kC3SerialLine, 0) << "serial line left at logical 1";
    UnbindPort();
  }
}

TEST_F(LineProtocolTest, UnknownVoltageLevelsStillWriteAndWait) {
  DataShadow = 0x5A;
  struct Case {
    void (LineProtocol::*set)(std::uint8_t);
    std::uint8_t level;
    std::uint64_t units;
  };
  for (const Case c : {Case{&LineProtocol::SetVpp, 7, 1}, Case{&LineProtocol::SetVcc, 3, 20000}}) {
    const std::size_t before = Accesses().size();
    const std::uint64_t start = BoardTime();
    (line_.*c.set)(c.level);
    ASSERT_EQ(Accesses().size(), before + 1);
    EXPECT_EQ(Accesses().back().value, 0x5A);
    EXPECT_EQ(BoardTime() - start, c.units);
  }
}

TEST_F(LineProtocolTest, FailedLatchCheckReportsRepaintsThenPowersDownWithoutLoading) {
  BoardFaults faults;
  faults.latchPin = 3;
  faults.latchStuck = StuckLevel::High;
  Attach(std::make_unique<ProgrammerBoard>(kFirstPortBase, 0, faults));
  DataShadow = 0x40;  // supply at 6 V when the check fails
  std::size_t accessesAtMessage = 0;
  feedback_.onMessage = [&](const std::string&) {
    accessesAtMessage = Accesses().size();
    EXPECT_EQ(Board().SupplyVoltage(), sim::Supply::Volts6) << "lines held while the box is up";
  };
  EXPECT_FALSE(line_.LoadDataLatch(0x00));
  EXPECT_EQ(feedback_.events,
            (std::vector<std::string>{"message:Ошибка программатора 595/157", "repaint"}));
  // After the box: no further shift clock, the power-down ends with the supply off.
  for (std::size_t i = accessesAtMessage; i < Accesses().size(); ++i) {
    const auto& a = Accesses()[i];
    if (a.port == kControl1) {
      EXPECT_TRUE(a.value & kC2ShiftClock) << FormatAccess(a);
    }
  }
  EXPECT_GT(Accesses().size(), accessesAtMessage);
  EXPECT_EQ(Board().DataRegister(), 0x23);
}

TEST_F(LineProtocolTest, LatchFaultsFailTheCheckOnlyForValuesTheyChange) {
  struct Case {
    bool latch;  // else the read-back selector
    int pin;
    StuckLevel level;
    std::uint8_t passes, fails;
  };
  for (const Case c : {Case{true, 0, StuckLevel::Low, 0x00, 0x10},    // Q0 drives bus bit 4
                       Case{true, 5, StuckLevel::High, 0x01, 0x00},   // Q5 drives bus bit 0
                       Case{false, 0, StuckLevel::High, 0x03, 0x02},  // Y0 carries bits 1 and 0
                       Case{false, 3, StuckLevel::Low, 0x00, 0x80}}) {
    BoardFaults faults;
    (c.latch ? faults.latchPin : faults.readbackPin) = c.pin;
    (c.latch ? faults.latchStuck : faults.readbackStuck) = c.level;
    Attach(std::make_unique<ProgrammerBoard>(kFirstPortBase, 0, faults));
    feedback_.events.clear();
    EXPECT_TRUE(line_.LoadDataLatch(c.passes));
    EXPECT_FALSE(line_.LoadDataLatch(c.fails));
    EXPECT_EQ(feedback_.Of("message"), std::vector<std::string>{kLatchErrorText});
  }
}

TEST_F(LineProtocolTest, NoBoardAtAllReportsNotFoundThenTheLatchError) {
  Attach(nullptr);
  EXPECT_FALSE(line_.DetectProgrammer());
  EXPECT_EQ(feedback_.Of("message"),
            (std::vector<std::string>{"Программатор не найден.", "Ошибка программатора 595/157"}));
  EXPECT_EQ(DataPort, kSecondPortBase);
  EXPECT_EQ(StatusPort, kSecondPortBase + 1);
  EXPECT_EQ(ControlPort, kSecondPortBase + 2);
  EXPECT_EQ(CounterClocksOn(WritesTo(kControl1)), 16384u);
  // The search, the power-down after the failed latch check inside the power-down, and the
  // outer power-down each clock a full cycle on the second address.
  EXPECT_EQ(CounterClocksOn(WritesTo(kControl2)), 3u * 16384u);
  EXPECT_EQ(WritesTo(kData2).back().value, 0x23);
}

TEST_F(LineProtocolTest, SyncCounterClocksUntilTheFeedbackChanges) {
  struct Case {
    std::uint32_t powerOn;
    CounterFault fault;
    bool found;
    std::size_t clocks;
  };
  for (const Case c :
       {Case{16383, CounterFault::None, true, 1}, Case{0, CounterFault::None, true, 16384},
        Case{100, CounterFault::None, true, 16284},
        Case{16383, CounterFault::FeedbackStuck, false, 16384}}) {
    BoardFaults faults;
    faults.counter = c.fault;
    Attach(std::make_unique<ProgrammerBoard>(kFirstPortBase, c.powerOn, faults));
    EXPECT_EQ(line_.SyncCounter(), c.found);
    EXPECT_EQ(CounterClocksOn(WritesTo(kControl1)), c.clocks) << c.powerOn;
    EXPECT_EQ(Board().Counter().Clocks(), c.clocks);
  }
}

TEST_F(LineProtocolTest, ProgramPulseHoldsChipEnableLowForItsWidthAlone) {
  DelayCount = 7;  // board time is counted in units whatever the count per unit is
  auto chip = std::make_unique<sim::Eprom>(sim::EpromType::C27C512);
  Board().InsertChip(std::move(chip));
  ASSERT_TRUE(line_.DetectProgrammer());
  line_.SetVcc(kVolts6);
  ASSERT_TRUE(line_.LoadDataLatch(0x3C));
  const std::size_t start = Accesses().size();
  const std::uint64_t startTime = BoardTime();
  line_.ProgramPulse(kRapidPulseUnits);
  EXPECT_EQ(BoardTime() - startTime, 6u + kRapidPulseUnits);
  const std::vector<PortAccess> pulse(Accesses().begin() + static_cast<long>(start),
                                      Accesses().end());
  ASSERT_EQ(pulse.size(), 7u);
  EXPECT_EQ(pulse[1].value & 0xE5, 0xC4) << "CE high, 6 V, 12.75 V in one write";
  EXPECT_EQ(pulse[2].value & kD7ChipEnable, 0);
  EXPECT_EQ(pulse[3].boardTime - pulse[2].boardTime, kRapidPulseUnits);
  ASSERT_EQ(Board().Chip()->Pulses().size(), 1u);
  EXPECT_EQ(Board().Chip()->Pulses()[0].widthUnits, kRapidPulseUnits);
  EXPECT_EQ(Board().Chip()->Pulses()[0].data, 0x3C);
  EXPECT_EQ(Board().Chip()->Content()[Board().Chip()->Pulses()[0].address], 0x3C);
}

TEST_F(LineProtocolTest, FailedLatchCheckInsideTheSafeStateStillEndsSafeAndFound) {
  BoardFaults faults;
  faults.readbackPin = 1;
  faults.readbackStuck = StuckLevel::High;
  Attach(std::make_unique<ProgrammerBoard>(kFirstPortBase, 0, faults));
  EXPECT_TRUE(line_.DetectProgrammer());
  EXPECT_EQ(feedback_.events,
            (std::vector<std::string>{"message:Ошибка программатора 595/157", "repaint"}));
  EXPECT_EQ(Board().DataRegister(), 0x23);
  EXPECT_EQ(Board().ControlRegister(), 0x05);
}

TEST_F(LineProtocolTest, SimpleOperationsChangeOnlyTheirBits) {
  struct Case {
    void (*apply)(LineProtocol&);
    std::uint8_t before, after;
  };
  const Case cases[] = {
      {[](LineProtocol& l) { l.SetVcc(kVolts0); }, 0x40, 0x20},
      {[](LineProtocol& l) { l.SetVcc(kVolts6); }, 0x20, 0x40},
      {[](LineProtocol& l) { l.SetVpp(kVolts0); }, 0x04, 0x01},
      {[](LineProtocol& l) { l.SetVpp(kVolts12); }, 0x01, 0x04},
      {[](LineProtocol& l) { l.SetVpp(kVolts5); }, 0xFD, 0xF8},
      {[](LineProtocol& l) { l.SetOeDrive(true); }, 0x00, 0x02},
      {[](LineProtocol& l) { l.SetA15(true); }, 0x00, 0x08},
      {[](LineProtocol& l) { l.SetA14(false); }, 0xFF, 0xEF},
      {[](LineProtocol& l) { l.SetCeLine(true); }, 0x00, 0x80},
      {[](LineProtocol& l) { l.SetChipOutputs(true); }, 0x04, 0x03},
      {[](LineProtocol& l) { l.SetChipOutputs(false); }, 0xFF, 0xF8},
  };
  for (const Case& c : cases) {
    DataShadow = c.before;
    c.apply(line_);
    EXPECT_EQ(DataShadow, c.after) << std::hex << int(c.before);
    EXPECT_EQ(Accesses().back().value, c.after);
  }
  chipType_ = Chip::C27C256;
  DataShadow = 0x00;
  line_.SetChipOutputs(false);
  EXPECT_EQ(DataShadow, 0x08);
  line_.SetChipOutputs(true);
  EXPECT_EQ(DataShadow, 0x02);
}

}  // namespace
}  // namespace zelkor::testing
