// Data latch ("595"): an 8-bit serial-in shift register and an output register clocked on
// the same rising edge. The output register takes the shift register's content from before
// the edge, so it lags one clock behind: loading eight bits takes nine clocks.
//
//   SER ->| shift Q0..Q7 |-> storage Q0..Q7 -> /OE -> data bus (through the board's wiring)
//   CLK ->|  (both on the same edge)  |
#pragma once

#include <cstdint>

namespace zelkor::sim {

enum class StuckLevel { None, Low, High };

class ShiftLatch {
 public:
  void serial_w(bool level) { serial_ = level; }

  void clock_w(bool level) {
    if (level && !clock_) {
      storage_ = shift_;
      shift_ = static_cast<std::uint8_t>((shift_ << 1) | (serial_ ? 1 : 0));
      ++clocks_;
    }
    clock_ = level;
  }

  // One output pin stuck at a level, whatever the storage register holds.
  void SetStuckOutput(int pin, StuckLevel level) {
    stuckPin_ = pin;
    stuck_ = level;
  }

  std::uint8_t Outputs() const {
    std::uint8_t q = storage_;
    if (stuck_ == StuckLevel::Low) q &= static_cast<std::uint8_t>(~(1u << stuckPin_));
    if (stuck_ == StuckLevel::High) q |= static_cast<std::uint8_t>(1u << stuckPin_);
    return q;
  }

  std::uint64_t Clocks() const { return clocks_; }

 private:
  bool serial_ = false;
  bool clock_ = false;
  std::uint8_t shift_ = 0;
  std::uint8_t storage_ = 0;
  std::uint64_t clocks_ = 0;
  int stuckPin_ = 0;
  StuckLevel stuck_ = StuckLevel::None;
};

}  // namespace zelkor::sim
