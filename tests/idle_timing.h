// Timing services for tests that never calibrate: nothing sleeps, every priority stays put.
#pragma once

#include "link/timing_services.h"

namespace zelkor::testing {

class IdleTiming : public TimingServices {
 public:
  void Sleep(std::uint32_t) override {}
  std::uint32_t GetTickCount() override { return 0; }
  std::uint32_t GetPriorityClass() override { return NORMAL_PRIORITY_CLASS; }
  void SetPriorityClass(std::uint32_t) override {}
  int GetThreadPriority() override { return THREAD_PRIORITY_NORMAL; }
  void SetThreadPriority(int) override {}
};

}  // namespace zelkor::testing
