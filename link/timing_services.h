// The operating-system services the delay calibration and the run's raised priority need:
// a sleep, a millisecond tick and the priority get/set pairs, in the calling conventions of
// the programmer's original platform so that the calibration reads step for step.
#pragma once

#include <cstdint>

namespace zelkor {

inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
inline constexpr std::uint32_t IDLE_PRIORITY_CLASS = 0x40;
inline constexpr std::uint32_t NORMAL_PRIORITY_CLASS = 0x20;
inline constexpr std::uint32_t HIGH_PRIORITY_CLASS = 0x80;
inline constexpr std::uint32_t REALTIME_PRIORITY_CLASS = 0x100;
inline constexpr std::uint32_t ABOVE_NORMAL_PRIORITY_CLASS = 0x8000;
inline constexpr std::uint32_t BELOW_NORMAL_PRIORITY_CLASS = 0x4000;

class TimingServices {
 public:
  virtual ~TimingServices() = default;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  virtual std::uint32_t GetTickCount() = 0;
  // A value returned by a get call is always accepted by the matching set call.
  virtual std::uint32_t GetPriorityClass() = 0;
  virtual void SetPriorityClass(std::uint32_t priorityClass) = 0;
  virtual int GetThreadPriority() = 0;
  virtual void SetThreadPriority(int priority) = 0;
};

}  // namespace zelkor
