// Measures the calibrated delay unit against the wall clock, and the wall time of a whole
// read and blank check of a 27C512 on the simulated board against the time the board
// protocol itself prescribes (its delay units at 5 us).
#include <chrono>
#include <cstdio>
#include <memory>

#include "link/delay_unit.h"
#include "link/linux_timing_services.h"
#include "link/port_registers.h"
#include "operations/blank_check_read.h"
#include "sim/programmer_board.h"

namespace zelkor {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// An operator who closes every box at once.
class SilentOperator final : public OperatorFeedback {
 public:
  void StatusLine(const std::string&) override {}
  void SetStatusCaption(const std::string&) override {}
  void SetBufferStatus(const std::string& text) override { buffer_ = text; }
  std::string BufferStatus() const override { return buffer_; }
  void SetGaugeMax(int) override {}
  void SetGaugePosition(int) override {}
  void ShowMessage(const std::string& text) override {
    std::printf("  message: %s\n", text.c_str());
  }
  ConfirmAnswer Confirm(const std::string&) override { return ConfirmAnswer::Cancel; }
  void ShowError(const std::string&) override {}
  void SetWindowEnabled(bool) override {}
  void SetHourglass(bool) override {}
  void RepaintWindow() override {}
  void ShowNotice(const std::string&) override {}
  void CloseNotice() override {}
  void CloseWindow() override {}
  std::optional<std::string> ChooseOpenFile(const FileDialogSetup&) override { return {}; }
  std::optional<std::string> ChooseSaveFile(const FileDialogSetup&) override { return {}; }

 private:
  std::string buffer_;
};

template <typename Operation>
void Measure(const char* name, Operation operation) {
  const std::uint64_t units = BoardTime();
  const auto start = Clock::now();
  operation();
  const double wall = MillisecondsSince(start);
  const double prescribed = static_cast<double>(BoardTime() - units) * 0.005;
  std::printf("%-22s wall %8.1f ms   prescribed %8.1f ms (%llu units)   ratio %.3f\n", name, wall,
              prescribed, static_cast<unsigned long long>(BoardTime() - units), wall / prescribed);
}

int Run() {
  LinuxTimingServices os;
  const auto calibrationStart = Clock::now();
  CalibrateDelay(os);
  std::printf("calibration            %8.1f ms, DelayCount %u\n",
              MillisecondsSince(calibrationStart), DelayCount);

  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    WaitUnits(20000);
    std::printf("WaitUnits(20000)       %8.2f ms (100 ms prescribed)\n", MillisecondsSince(start));
  }

  sim::ProgrammerBoard board;
  board.InsertChip(std::make_unique<sim::Eprom>(sim::EpromType::C27C512));
  BindPort(board);
  SilentOperator feedback;
  Chip chip = Chip::C27C512;
  bool lastStepChanged = false;
  bool isBlank = false;
  LineProtocol line(feedback, chip);
  OperationContext op{line, feedback, chip, lastStepChanged};
  auto buffer = std::make_unique<ImageBytes>();
  Measure("27C512 read", [&] { ReadChip(op, *buffer); });
  Measure("27C512 blank check", [&] { BlankCheck(op, BlankCheckMode::Interactive, isBlank); });
  UnbindPort();
  return 0;
}

}  // namespace
}  // namespace zelkor

int main() {
  return zelkor::Run();
}
