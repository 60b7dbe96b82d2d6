// The delay unit of about 5 microseconds: DelayCount iterations of one count-down loop,
// measured once at start-up. Every wait of the program runs that same loop.
#pragma once

#include <cstdint>

#include "link/timing_services.h"

namespace zelkor {

// Waits in delay units used by the line operations and the commands.
inline constexpr std::int32_t kUnitsPerAccess = 1;
inline constexpr std::int32_t kSupplySettleUnits = 20000;  // about 100 ms
inline constexpr std::uint32_t kCalibrationIterations = 100'000'000;
inline constexpr std::uint32_t kUnitsPerMillisecond = 200;
inline constexpr std::uint32_t kCalibrationSleepMs = 200;

extern std::uint32_t DelayCount;

// A wait worked out ahead of time, so that a pulse starts counting right after its write.
struct PreparedWait {
  std::uint32_t iterations;
  std::uint32_t units;
};

PreparedWait PrepareWait(std::int32_t units);
void RunWait(const PreparedWait& wait);
void WaitUnits(std::int32_t units);

// Delay units waited since the process started: the board's own clock, exact whatever
// DelayCount is, so that the simulated board measures pulse widths in units.
std::uint64_t BoardTime();

// The count-down loop itself; iterations of 0 would wrap to 2^32, so callers never pass 0.
void CountDown(std::uint32_t iterations);

// DelayCount for a calibration loop that took the given milliseconds; never below 1.
std::uint32_t DelayCountFor(std::uint32_t elapsedMs);

void CalibrateDelay(TimingServices& os);

}  // namespace zelkor
