// Address counter: a 14-bit binary counter clocked by the board's counter clock line, with
// a feedback flip-flop that toggles once per full cycle, when the count wraps to 0.
//
//   CLK ->|  Q0..Q13  |-> chip A0..A13 (through the board's wiring)
//         |  wrap ->T |-> FB (status S3)
#pragma once

#include <cstdint>

namespace zelkor::sim {

inline constexpr std::uint32_t kCounterCycle = 16384;

enum class CounterFault {
  None,
  FeedbackStuck,  // the feedback flip-flop never changes
  ShortCycle,     // the count skips a position, so the feedback toggles one step early
};

class AddressCounter {
 public:
  explicit AddressCounter(std::uint32_t powerOnPosition = 0)
      : position_(powerOnPosition % kCounterCycle) {}

  void SetFault(CounterFault fault) { fault_ = fault; }

  // The counter advances on the clock line's rising edge.
  void clock_w(bool level) {
    if (level && !clock_) Advance();
    clock_ = level;
  }

  std::uint32_t Position() const { return position_; }
  bool Feedback() const { return feedback_; }
  std::uint64_t Clocks() const { return clocks_; }

 private:
  void Advance() {
    ++clocks_;
    std::uint32_t next = position_ + 1;
    if (fault_ == CounterFault::ShortCycle && next == kCounterCycle / 2) ++next;
    if (next >= kCounterCycle) {
      next = 0;
      if (fault_ != CounterFault::FeedbackStuck) feedback_ = !feedback_;
    }
    position_ = next;
  }

  std::uint32_t position_;
  bool clock_ = false;
  bool feedback_ = false;
  std::uint64_t clocks_ = 0;
  CounterFault fault_ = CounterFault::None;
};

}  // namespace zelkor::sim
