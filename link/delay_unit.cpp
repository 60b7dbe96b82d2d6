#include "link/delay_unit.h"

#include <atomic>

namespace zelkor {

std::uint32_t DelayCount = 0;

namespace {

std::uint64_t boardTime = 0;

}  // namespace

// The counter lives in memory and every iteration is one locked decrement of it: the compiler
// may neither delete nor merge the loop, and a current CPU cannot forward it from a register
// the way it does a plain load and store, so 100,000,000 iterations take hundreds of
// milliseconds and the millisecond tick measures the unit to a fraction of a percent.
[[gnu::noinline]] void CountDown(std::uint32_t iterations) {
  if (iterations == 0) return;
  volatile std::atomic<std::uint32_t> counter{iterations};
  while (counter.fetch_sub(1, std::memory_order_relaxed) != 1) {
  }
}

PreparedWait PrepareWait(std::int32_t units) {
  const std::uint32_t count = static_cast<std::uint32_t>(units) * DelayCount;
  // A count of 0 would run 2^32 iterations; the shortest wait is one iteration.
  return PreparedWait{count == 0 ? 1u : count, static_cast<std::uint32_t>(units)};
}

void RunWait(const PreparedWait& wait) {
  CountDown(wait.iterations);
  boardTime += wait.units;
}

void WaitUnits(std::int32_t units) {
  RunWait(PrepareWait(units));
}

std::uint64_t BoardTime() {
  return boardTime;
}

std::uint32_t DelayCountFor(std::uint32_t elapsedMs) {
  std::uint32_t divisor = elapsedMs * kUnitsPerMillisecond;
  // A loop faster than the tick reads 0 ms; take it as 1 ms rather than divide by zero.
  if (divisor == 0) divisor = kUnitsPerMillisecond;
  const std::uint32_t count = kCalibrationIterations / divisor;
  return count == 0 ? 1u : count;
}

void CalibrateDelay(TimingServices& os) {
  os.Sleep(kCalibrationSleepMs);
  const std::uint32_t savedClass = os.GetPriorityClass();
  const int savedThreadPriority = os.GetThreadPriority();
  os.SetThreadPriority(THREAD_PRIORITY_TIME_CRITICAL);
  os.SetPriorityClass(REALTIME_PRIORITY_CLASS);
  os.Sleep(kCalibrationSleepMs);
  const std::uint32_t t0 = os.GetTickCount();
  CountDown(kCalibrationIterations);
  const std::uint32_t elapsed = os.GetTickCount() - t0;
  DelayCount = DelayCountFor(elapsed);
  os.SetPriorityClass(savedClass);
  os.SetThreadPriority(savedThreadPriority);
}

}  // namespace zelkor
