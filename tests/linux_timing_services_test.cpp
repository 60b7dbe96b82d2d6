#include "link/linux_timing_services.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <cerrno>
#include <vector>

namespace zelkor {
namespace {

const std::vector<std::uint32_t> kAllClasses{REALTIME_PRIORITY_CLASS,     HIGH_PRIORITY_CLASS,
                                             ABOVE_NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
                                             BELOW_NORMAL_PRIORITY_CLASS, IDLE_PRIORITY_CLASS};

TEST(PriorityMapping, EachClassHasItsNiceValueAndNothingElseIsAClass) {
  struct Case {
    std::uint32_t priorityClass;
    std::optional<int> nice;
  };
  for (const Case c :
       {Case{REALTIME_PRIORITY_CLASS, -20}, Case{HIGH_PRIORITY_CLASS, -10},
        Case{ABOVE_NORMAL_PRIORITY_CLASS, -5}, Case{NORMAL_PRIORITY_CLASS, 0},
        Case{BELOW_NORMAL_PRIORITY_CLASS, 5}, Case{IDLE_PRIORITY_CLASS, 19}, Case{0, std::nullopt},
        Case{0x10, std::nullopt}, Case{0x180, std::nullopt}, Case{0xFFFFFFFF, std::nullopt}}) {
    EXPECT_EQ(NiceForPriorityClass(c.priorityClass), c.nice) << std::hex << c.priorityClass;
  }
}

TEST(PriorityMapping, ANiceValueReadsAsTheNearestClassTiesTowardNormal) {
  struct Case {
    int nice;
    std::uint32_t priorityClass;
  };
  for (const Case c : {Case{-20, REALTIME_PRIORITY_CLASS}, Case{-16, REALTIME_PRIORITY_CLASS},
                       Case{-15, HIGH_PRIORITY_CLASS}, Case{-10, HIGH_PRIORITY_CLASS},
                       Case{-8, HIGH_PRIORITY_CLASS}, Case{-7, ABOVE_NORMAL_PRIORITY_CLASS},
                       Case{-3, ABOVE_NORMAL_PRIORITY_CLASS}, Case{-2, NORMAL_PRIORITY_CLASS},
                       Case{0, NORMAL_PRIORITY_CLASS}, Case{2, NORMAL_PRIORITY_CLASS},
                       Case{3, BELOW_NORMAL_PRIORITY_CLASS}, Case{12, BELOW_NORMAL_PRIORITY_CLASS},
                       Case{13, IDLE_PRIORITY_CLASS}, Case{19, IDLE_PRIORITY_CLASS}}) {
    EXPECT_EQ(PriorityClassForNice(c.nice), c.priorityClass) << "nice " << c.nice;
  }
}

TEST(PriorityMapping, EveryClassSurvivesSetThenGet) {
  for (const std::uint32_t priorityClass : kAllClasses) {
    EXPECT_EQ(PriorityClassForNice(*NiceForPriorityClass(priorityClass)), priorityClass);
  }
}

TEST(PriorityMapping, WhatGetReturnsSetAcceptsAndPutsBackExactly) {
  for (int nice = kHighestNice; nice <= kLowestNice; ++nice) {
    const std::uint32_t read = PriorityClassForNice(nice);
    EXPECT_TRUE(NiceForPriorityClass(read).has_value()) << "nice " << nice;
    EXPECT_EQ(NiceForRequest(read, NiceReadings{{read, nice}}), nice) << "nice " << nice;
  }
}

TEST(PriorityMapping, AClassNeverReadGetsItsOwnNiceValue) {
  // The calibration's order: normal read at nice 3, real-time set, real-time read, normal set.
  NiceReadings read{{NORMAL_PRIORITY_CLASS, 3}};
  EXPECT_EQ(NiceForRequest(REALTIME_PRIORITY_CLASS, read), -20);
  read[REALTIME_PRIORITY_CLASS] = -20;
  EXPECT_EQ(NiceForRequest(NORMAL_PRIORITY_CLASS, read), 3);
  EXPECT_EQ(NiceForRequest(HIGH_PRIORITY_CLASS, {}), -10);
  EXPECT_EQ(NiceForRequest(0x1234, read), std::nullopt);
}

TEST(ThreadPriorityMapping, TimeCriticalIsTheLowestFifoPriorityAllElseIsNormal) {
  const int lowest = ::sched_get_priority_min(SCHED_FIFO);
  struct Case {
    int threadPriority;
    ThreadSchedule schedule;
  };
  for (const Case c : {Case{THREAD_PRIORITY_TIME_CRITICAL, {SCHED_FIFO, lowest}},
                       Case{THREAD_PRIORITY_NORMAL, {SCHED_OTHER, 0}}, Case{2, {SCHED_OTHER, 0}},
                       Case{-2, {SCHED_OTHER, 0}}, Case{-15, {SCHED_OTHER, 0}}}) {
    EXPECT_EQ(ScheduleForThreadPriority(c.threadPriority, lowest), c.schedule) << c.threadPriority;
  }
}

TEST(ThreadPriorityMapping, WhatGetReturnsSetAcceptsAndPutsBackExactly) {
  const int lowest = ::sched_get_priority_min(SCHED_FIFO);
  struct Case {
    ThreadSchedule schedule;
    int threadPriority;
  };
  for (const Case c :
       {Case{{SCHED_OTHER, 0}, THREAD_PRIORITY_NORMAL}, Case{{SCHED_BATCH, 0}, 0},
        Case{{SCHED_IDLE, 0}, 0}, Case{{SCHED_FIFO, lowest}, 15}, Case{{SCHED_FIFO, 50}, 15},
        Case{{SCHED_RR, 10}, 15}, Case{{SCHED_RR | SCHED_RESET_ON_FORK, 10}, 15}}) {
    const int read = ThreadPriorityForPolicy(c.schedule.policy);
    EXPECT_EQ(read, c.threadPriority) << c.schedule.policy;
    EXPECT_EQ(ScheduleForRequest(read, ScheduleReadings{{read, c.schedule}}, lowest), c.schedule)
        << c.schedule.policy;
  }
  EXPECT_EQ(ScheduleForRequest(15, ScheduleReadings{{0, {SCHED_BATCH, 0}}}, lowest),
            (ThreadSchedule{SCHED_FIFO, lowest}));
}

// The test process's own nice value and schedule, put back whatever a test did to them.
class LiveScheduling : public ::testing::Test {
 protected:
  LiveScheduling() : nice_(Nice()), schedule_(Schedule()) {}
  ~LiveScheduling() override {
    const sched_param param{schedule_.priority};
    ::pthread_setschedparam(::pthread_self(), schedule_.policy, &param);
    ::setpriority(PRIO_PROCESS, 0, nice_);
    EXPECT_EQ(Nice(), nice_) << "could not restore the test process's nice value";
    EXPECT_EQ(Schedule(), schedule_) << "could not restore the test thread's schedule";
  }

  static int Nice() {
    errno = 0;
    return ::getpriority(PRIO_PROCESS, 0);
  }
  static ThreadSchedule Schedule() {
    int policy = 0;
    sched_param param{};
    ::pthread_getschedparam(::pthread_self(), &policy, &param);
    return {policy, param.sched_priority};
  }
  // Whether this process may go back up after going down: tried one step, then undone.
  bool MayRaisePriority() const {
    if (nice_ == kHighestNice) return true;
    const bool raised = ::setpriority(PRIO_PROCESS, 0, nice_ - 1) == 0;
    ::setpriority(PRIO_PROCESS, 0, nice_);
    return raised;
  }

  const int nice_;
  const ThreadSchedule schedule_;
  LinuxTimingServices os_;
};

TEST_F(LiveScheduling, GetThenSetChangesNothing) {
  os_.SetPriorityClass(os_.GetPriorityClass());
  os_.SetThreadPriority(os_.GetThreadPriority());
  EXPECT_EQ(Nice(), nice_);
  EXPECT_EQ(Schedule(), schedule_);
}

TEST_F(LiveScheduling, TheCalibrationsRaiseAndRestoreLeaveTheProcessAsItWas) {
  const std::uint32_t savedClass = os_.GetPriorityClass();
  const int savedThread = os_.GetThreadPriority();
  os_.SetThreadPriority(THREAD_PRIORITY_TIME_CRITICAL);
  os_.SetPriorityClass(REALTIME_PRIORITY_CLASS);
  const int raisedNice = Nice();
  const ThreadSchedule raised = Schedule();
  // Raised where the process may, the priority in force where it may not.
  EXPECT_TRUE(raisedNice == -20 || raisedNice == nice_) << raisedNice;
  EXPECT_TRUE(raised == (ThreadSchedule{SCHED_FIFO, ::sched_get_priority_min(SCHED_FIFO)}) ||
              raised == schedule_)
      << raised.policy << " " << raised.priority;
  EXPECT_EQ(os_.GetThreadPriority(),
            raised == schedule_ ? savedThread : THREAD_PRIORITY_TIME_CRITICAL);
  os_.SetPriorityClass(savedClass);
  os_.SetThreadPriority(savedThread);
  EXPECT_EQ(Nice(), nice_);
  EXPECT_EQ(Schedule(), schedule_);
  RecordProperty("raise_permitted", raisedNice == -20 ? "yes" : "no");
}

TEST_F(LiveScheduling, ANiceValueBetweenClassesComesBackExactly) {
  if (!MayRaisePriority()) GTEST_SKIP() << "this process may not raise its priority again";
  ASSERT_EQ(::setpriority(PRIO_PROCESS, 0, 10), 0);
  const std::uint32_t savedClass = os_.GetPriorityClass();
  EXPECT_EQ(savedClass, BELOW_NORMAL_PRIORITY_CLASS);
  os_.SetPriorityClass(REALTIME_PRIORITY_CLASS);
  EXPECT_EQ(os_.GetPriorityClass(), REALTIME_PRIORITY_CLASS);
  os_.SetPriorityClass(savedClass);
  EXPECT_EQ(Nice(), 10) << "not the class's own 5";
}

TEST_F(LiveScheduling, EachClassIsTakenOrQuietlyRefusedAndReadsBack) {
  const bool mayRaise = MayRaisePriority();
  for (const std::uint32_t priorityClass : kAllClasses) {
    // Going down is always allowed, coming back up is not: only try that when the way back
    // is open.
    if (!mayRaise && *NiceForPriorityClass(priorityClass) > nice_) continue;
    const int before = Nice();
    os_.SetPriorityClass(priorityClass);
    const int after = Nice();
    EXPECT_TRUE(after == *NiceForPriorityClass(priorityClass) || after == before)
        << std::hex << priorityClass;
    if (after != before) {
      EXPECT_EQ(os_.GetPriorityClass(), priorityClass);
    }
    os_.SetPriorityClass(os_.GetPriorityClass());
    EXPECT_EQ(Nice(), after) << "get then set moved the nice value";
  }
}

TEST(LinuxTimingServices, TickCountsMillisecondsAcrossASleep) {
  LinuxTimingServices os;
  const std::uint32_t t0 = os.GetTickCount();
  os.Sleep(50);
  const std::uint32_t elapsed = os.GetTickCount() - t0;
  EXPECT_GE(elapsed, 50u);
  EXPECT_LT(elapsed, 5000u);
}

}  // namespace
}  // namespace zelkor
