// The main window on a simulated board, every port access recorded, with fake timing and
// every modal box noted and closed.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QRadioButton>
#include <memory>

#include "app/qt/form_zelkor.h"
#include "app/qt/gauge.h"
#include "fake_timing.h"
#include "link/port_registers.h"
#include "link/recording_port.h"
#include "modal_watcher.h"
#include "sim/programmer_board.h"

namespace zelkor::testing {

inline constexpr const char* kProgramPath = "/opt/zelkor/ZELKOR.bin";
inline constexpr const char* kTitle = "Zelkor";

class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    DataShadow = 0;
    ControlShadow = 0;
    SelectPortBase(kFirstPortBase);
    watcher_.mainWindowVisible = [this] { return form_ && form_->isVisible(); };
  }

  void TearDown() override {
    form_.reset();
    UnbindPort();
  }

  // Builds the window, FormCreate included, on a board of the test's choosing.
  void Start(bool withBoard = true) {
    board_ = std::make_unique<sim::ProgrammerBoard>(kFirstPortBase, 0,
                                                    sim::BoardFaults{.absent = !withBoard});
    recorder_ = std::make_unique<RecordingPort>(*board_);
    BindPort(*recorder_);
    form_ = std::make_unique<TFormZelkor>(timing_, kProgramPath);
  }

  template <typename T = QWidget>
  T* Find(const char* name) {
    T* found = form_->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QString Text(const char* label) { return Find<QLabel>(label)->text(); }
  void Click(const char* button) { Find<QAbstractButton>(button)->click(); }

  std::size_t Writes() const {
    std::size_t writes = 0;
    for (const auto& a : recorder_->Accesses()) writes += a.direction == Direction::Write;
    return writes;
  }

  std::size_t CountCalls(const std::string& call) const {
    return static_cast<std::size_t>(std::count(timing_.calls.begin(), timing_.calls.end(), call));
  }

  FakeTiming timing_;
  ModalWatcher watcher_;
  std::unique_ptr<sim::ProgrammerBoard> board_;
  std::unique_ptr<RecordingPort> recorder_;
  std::unique_ptr<TFormZelkor> form_;
};

}  // namespace zelkor::testing
