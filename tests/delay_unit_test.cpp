#include "link/delay_unit.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelkor {
namespace {

// A clock that advances by the scripted elapsed time across the measured loop, and records
// the order of the calibration's calls.
class ScriptedTiming : public TimingServices {
 public:
  explicit ScriptedTiming(std::uint32_t elapsedMs) : elapsedMs_(elapsedMs) {}
  std::vector<std::string> calls;

  void Sleep(std::uint32_t ms) override { calls.push_back("sleep " + std::to_string(ms)); }
  std::uint32_t GetTickCount() override {
    calls.push_back("tick");
    // Start close to the wrap so that the 32-bit difference is exercised.
    const std::uint32_t t = ticks_ == 0 ? 0xFFFFFFF0u : 0xFFFFFFF0u + elapsedMs_;
    ++ticks_;
    return t;
  }
  std::uint32_t GetPriorityClass() override {
    calls.push_back("get class");
    return NORMAL_PRIORITY_CLASS;
  }
  void SetPriorityClass(std::uint32_t c) override {
    calls.push_back("set class " + std::to_string(c));
  }
  int GetThreadPriority() override {
    calls.push_back("get thread");
    return 2;
  }
  void SetThreadPriority(int p) override { calls.push_back("set thread " + std::to_string(p)); }

 private:
  std::uint32_t elapsedMs_;
  int ticks_ = 0;
};

TEST(CalibrateDelay, DelayCountFromElapsedTime) {
  struct Case {
    std::uint32_t elapsedMs;
    std::uint32_t delayCount;
  };
  // 0 ms would divide by zero: it counts as 1 ms. 500000 ms is the slowest a loop may be.
  for (const Case c : {Case{100, 5000}, Case{37, 13513}, Case{40, 12500}, Case{1000, 500},
                       Case{500000, 1}, Case{0, 500000}, Case{600000, 1}}) {
    EXPECT_EQ(DelayCountFor(c.elapsedMs), c.delayCount) << c.elapsedMs << " ms";
  }
}

TEST(CalibrateDelay, RaisesMeasuresAndRestoresInOrder) {
  ScriptedTiming timing(37);
  DelayCount = 0;
  CalibrateDelay(timing);
  EXPECT_EQ(DelayCount, 13513u);
  const std::vector<std::string> expected{
      "sleep 200", "get class", "get thread", "set thread 15", "set class 256",
      "sleep 200", "tick",      "tick",       "set class 32",  "set thread 2"};
  EXPECT_EQ(timing.calls, expected);
}

TEST(WaitUnits, CountsUnitsOfBoardTimeWhateverTheDelayCount) {
  DelayCount = 3;
  const std::uint64_t start = BoardTime();
  WaitUnits(1990);
  WaitUnits(1);
  EXPECT_EQ(BoardTime() - start, 1991u);
}

TEST(WaitUnits, CountIsTheLow32BitsOfTheProductAndNeverZero) {
  DelayCount = 5000;
  EXPECT_EQ(PrepareWait(1990).iterations, 9'950'000u);
  DelayCount = 0x10000;
  EXPECT_EQ(PrepareWait(0x10000).iterations, 1u) << "2^32 wraps to 0, which counts one";
  EXPECT_EQ(PrepareWait(0x10001).iterations, 0x10000u);
  DelayCount = 1;
  EXPECT_EQ(PrepareWait(0).iterations, 1u);
}

}  // namespace
}  // namespace zelkor
