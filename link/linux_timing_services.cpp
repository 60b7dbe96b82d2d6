#include "link/linux_timing_services.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>

namespace zelkor {

namespace {

struct ClassNice {
  std::uint32_t priorityClass;
  int nice;
};

// From the highest priority to the lowest.
constexpr std::array<ClassNice, 6> kClassNice{{
    {REALTIME_PRIORITY_CLASS, kHighestNice},
    {HIGH_PRIORITY_CLASS, -10},
    {ABOVE_NORMAL_PRIORITY_CLASS, -5},
    {NORMAL_PRIORITY_CLASS, 0},
    {BELOW_NORMAL_PRIORITY_CLASS, 5},
    {IDLE_PRIORITY_CLASS, kLowestNice},
}};

constexpr long kNanosecondsPerMillisecond = 1'000'000;
constexpr std::uint64_t kMillisecondsPerSecond = 1000;

int CurrentNice() {
  // getpriority may return -1 as a value, so only errno tells a failure apart.
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, 0);
  if (errno != 0) return 0;
  return std::clamp(nice, kHighestNice, kLowestNice);
}

ThreadSchedule CurrentSchedule() {
  int policy = SCHED_OTHER;
  sched_param param{};
  if (::pthread_getschedparam(::pthread_self(), &policy, &param) != 0) return {SCHED_OTHER, 0};
  return {policy, param.sched_priority};
}

}  // namespace

std::optional<int> NiceForPriorityClass(std::uint32_t priorityClass) {
  for (const ClassNice& entry : kClassNice) {
    if (entry.priorityClass == priorityClass) return entry.nice;
  }
  return std::nullopt;
}

std::uint32_t PriorityClassForNice(int nice) {
  const ClassNice* nearest = &kClassNice[0];
  for (const ClassNice& entry : kClassNice) {
    const int distance = std::abs(entry.nice - nice);
    const int best = std::abs(nearest->nice - nice);
    const bool nearerNormal = std::abs(entry.nice) < std::abs(nearest->nice);
    if (distance < best || (distance == best && nearerNormal)) nearest = &entry;
  }
  return nearest->priorityClass;
}

int ThreadPriorityForPolicy(int policy) {
  const int base = policy & ~SCHED_RESET_ON_FORK;
  return base == SCHED_FIFO || base == SCHED_RR ? THREAD_PRIORITY_TIME_CRITICAL
                                                : THREAD_PRIORITY_NORMAL;
}

ThreadSchedule ScheduleForThreadPriority(int threadPriority, int lowestFifoPriority) {
  if (threadPriority == THREAD_PRIORITY_TIME_CRITICAL) return {SCHED_FIFO, lowestFifoPriority};
  return {SCHED_OTHER, 0};
}

std::optional<int> NiceForRequest(std::uint32_t priorityClass, const NiceReadings& read) {
  if (const auto nice = read.find(priorityClass); nice != read.end()) return nice->second;
  return NiceForPriorityClass(priorityClass);
}

ThreadSchedule ScheduleForRequest(int threadPriority, const ScheduleReadings& read,
                                  int lowestFifoPriority) {
  if (const auto schedule = read.find(threadPriority); schedule != read.end()) {
    return schedule->second;
  }
  return ScheduleForThreadPriority(threadPriority, lowestFifoPriority);
}

void LinuxTimingServices::Sleep(std::uint32_t milliseconds) {
  timespec remaining{
      static_cast<time_t>(milliseconds / kMillisecondsPerSecond),
      static_cast<long>(milliseconds % kMillisecondsPerSecond) * kNanosecondsPerMillisecond};
  // A signal cuts the sleep short; the rest is slept all the same.
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

std::uint32_t LinuxTimingServices::GetTickCount() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  const std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * kMillisecondsPerSecond +
                           static_cast<std::uint64_t>(now.tv_nsec / kNanosecondsPerMillisecond);
  return static_cast<std::uint32_t>(ms);
}

std::uint32_t LinuxTimingServices::GetPriorityClass() {
  const int nice = CurrentNice();
  const std::uint32_t priorityClass = PriorityClassForNice(nice);
  niceRead_[priorityClass] = nice;
  return priorityClass;
}

// On Linux the nice value belongs to the calling thread, the one that drives the board. A
// refusal (EACCES or EPERM without the right to raise priority) leaves the nice value in force.
void LinuxTimingServices::SetPriorityClass(std::uint32_t priorityClass) {
  const std::optional<int> nice = NiceForRequest(priorityClass, niceRead_);
  if (nice) ::setpriority(PRIO_PROCESS, 0, *nice);
}

int LinuxTimingServices::GetThreadPriority() {
  const ThreadSchedule schedule = CurrentSchedule();
  const int threadPriority = ThreadPriorityForPolicy(schedule.policy);
  scheduleRead_[threadPriority] = schedule;
  return threadPriority;
}

// A refusal (EPERM without the right to real-time scheduling) leaves the schedule in force.
void LinuxTimingServices::SetThreadPriority(int priority) {
  const ThreadSchedule schedule =
      ScheduleForRequest(priority, scheduleRead_, ::sched_get_priority_min(SCHED_FIFO));
  const sched_param param{schedule.priority};
  ::pthread_setschedparam(::pthread_self(), schedule.policy, &param);
}

}  // namespace zelkor
