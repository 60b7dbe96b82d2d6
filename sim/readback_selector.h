// Read-back selector ("157"): four 2-to-1 multiplexers that put one half of the data bus on
// four status lines, switched by the serial line.
//
//   A0..A3 (select 0) --+
//                       +--> Y0..Y3 -> status S7 (inverted by the port), S4, S5, S6
//   B0..B3 (select 1) --+
#pragma once

#include <array>
#include <cstdint>

#include "sim/shift_latch.h"

namespace zelkor::sim {

class ReadbackSelector {
 public:
  void select_w(bool level) { select_ = level; }
  void SetStuckOutput(int pin, StuckLevel level) {
    stuckPin_ = pin;
    stuck_ = level;
  }

  // The four outputs, Y0 in bit 0, for inputs a (select 0) and b (select 1).
  std::uint8_t Outputs(std::uint8_t a, std::uint8_t b) const {
    std::uint8_t y = (select_ ? b : a) & 0x0F;
    if (stuck_ == StuckLevel::Low) y &= static_cast<std::uint8_t>(~(1u << stuckPin_));
    if (stuck_ == StuckLevel::High) y |= static_cast<std::uint8_t>(1u << stuckPin_);
    return y;
  }

 private:
  bool select_ = false;
  int stuckPin_ = 0;
  StuckLevel stuck_ = StuckLevel::None;
};

}  // namespace zelkor::sim
