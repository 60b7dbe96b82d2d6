// The sleep, tick and priority services on Linux. A priority class is a nice value of the
// calling thread and the time-critical thread priority is the real-time FIFO policy; where the
// process may not raise its priority the request is quietly dropped and the measurement or the
// run goes on at the priority in force.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "link/timing_services.h"

namespace zelkor {

inline constexpr int kHighestNice = -20;
inline constexpr int kLowestNice = 19;

// The nice value that stands for a priority class; none for a value that is no class.
std::optional<int> NiceForPriorityClass(std::uint32_t priorityClass);
// The class whose nice value is nearest; halfway between two, the one nearer normal.
std::uint32_t PriorityClassForNice(int nice);

struct ThreadSchedule {
  int policy;
  int priority;

  bool operator==(const ThreadSchedule&) const = default;
};

// A thread on a real-time policy counts as time-critical, any other as normal.
int ThreadPriorityForPolicy(int policy);
// Time-critical asks for the lowest FIFO priority, which is already ahead of every normal
// thread; every other thread priority asks for the normal time-sharing policy.
ThreadSchedule ScheduleForThreadPriority(int threadPriority, int lowestFifoPriority);

// What the get calls read, by the value they returned, so that setting that value puts back
// exactly what was in force, not just the nearest class: the calibration restores a user's
// "nice -n 10" as 10, and reading the raised priority in between loses nothing.
using NiceReadings = std::map<std::uint32_t, int>;
using ScheduleReadings = std::map<int, ThreadSchedule>;

std::optional<int> NiceForRequest(std::uint32_t priorityClass, const NiceReadings& read);
ThreadSchedule ScheduleForRequest(int threadPriority, const ScheduleReadings& read,
                                  int lowestFifoPriority);

class LinuxTimingServices final : public TimingServices {
 public:
  void Sleep(std::uint32_t milliseconds) override;
  // CLOCK_MONOTONIC in milliseconds, kept to 32 bits so that it wraps as the tick always has.
  std::uint32_t GetTickCount() override;
  std::uint32_t GetPriorityClass() override;
  void SetPriorityClass(std::uint32_t priorityClass) override;
  int GetThreadPriority() override;
  void SetThreadPriority(int priority) override;

 private:
  NiceReadings niceRead_;
  ScheduleReadings scheduleRead_;
};

}  // namespace zelkor
