// A simulated board bound as the program's port space, every access recorded, a scripted
// operator and the window's chip type; after each test the recording is checked for the
// two things the program must never do to the port.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "link/delay_unit.h"
#include "link/line_protocol.h"
#include "link/port_registers.h"
#include "link/recording_port.h"
#include "recording_feedback.h"
#include "sim/programmer_board.h"

namespace zelkor::testing {

inline bool IsOutputRegister(std::uint16_t port) {
  return port == kFirstPortBase || port == kFirstPortBase + kControlOffset ||
         port == kSecondPortBase || port == kSecondPortBase + kControlOffset;
}

inline bool IsControlRegister(std::uint16_t port) {
  return port == kFirstPortBase + kControlOffset || port == kSecondPortBase + kControlOffset;
}

class BoardFixture : public ::testing::Test {
 protected:
  BoardFixture() { Attach(std::make_unique<sim::ProgrammerBoard>()); }

  // A board of the test's own making in place of the default one (none: nothing answers).
  void Attach(std::unique_ptr<sim::ProgrammerBoard> board) {
    board_ = std::move(board);
    recorder_ = std::make_unique<RecordingPort>(board_ ? static_cast<Port&>(*board_) : floating_);
    BindPort(*recorder_);
  }

  void SetUp() override {
    DelayCount = 1;
    DataShadow = 0;
    ControlShadow = 0;
    SelectPortBase(kFirstPortBase);
  }

  void TearDown() override {
    for (const PortAccess& a : recorder_->Accesses()) {
      if (a.direction == Direction::Read) {
        EXPECT_FALSE(IsOutputRegister(a.port)) << "read of an output register " << FormatAccess(a);
      } else if (IsControlRegister(a.port)) {
        EXPECT_EQ(a.value & 0xF0, 0) << "control bits 4 to 7 written " << FormatAccess(a);
      }
    }
    UnbindPort();
  }

  const std::vector<PortAccess>& Accesses() const { return recorder_->Accesses(); }

  std::vector<PortAccess> WritesTo(std::uint16_t port) const {
    std::vector<PortAccess> found;
    for (const auto& a : Accesses()) {
      if (a.direction == Direction::Write && a.port == port) found.push_back(a);
    }
    return found;
  }

  sim::ProgrammerBoard& Board() { return *board_; }

  Chip chipType_ = Chip::C27C512;
  RecordingFeedback feedback_;
  LineProtocol line_{feedback_, chipType_};

 private:
  FloatingPort floating_;
  std::unique_ptr<sim::ProgrammerBoard> board_;
  std::unique_ptr<RecordingPort> recorder_;
};

}  // namespace zelkor::testing
