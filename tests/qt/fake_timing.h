// Timing services that record every call and make the calibration come out at one loop
// iteration per delay unit, so that the board is driven at full speed in tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/timing_services.h"

namespace zelkor::testing {

class FakeTiming final : public TimingServices {
 public:
  std::vector<std::string> calls;

  void Sleep(std::uint32_t ms) override { calls.push_back("sleep:" + std::to_string(ms)); }
  std::uint32_t GetTickCount() override {
    calls.push_back("tick");
    return tick_ += kTickStep;
  }
  std::uint32_t GetPriorityClass() override {
    calls.push_back("get-class");
    return class_;
  }
  void SetPriorityClass(std::uint32_t priorityClass) override {
    calls.push_back("class:" + std::to_string(priorityClass));
    class_ = priorityClass;
  }
  int GetThreadPriority() override {
    calls.push_back("get-thread");
    return thread_;
  }
  void SetThreadPriority(int priority) override {
    calls.push_back("thread:" + std::to_string(priority));
    thread_ = priority;
  }

  std::uint32_t PriorityClass() const { return class_; }
  int ThreadPriority() const { return thread_; }

 private:
  // A calibration loop that "took" this long gives the shortest delay unit.
  static constexpr std::uint32_t kTickStep = 1'000'000;
  std::uint32_t tick_ = 0;
  std::uint32_t class_ = NORMAL_PRIORITY_CLASS;
  int thread_ = THREAD_PRIORITY_NORMAL;
};

}  // namespace zelkor::testing
