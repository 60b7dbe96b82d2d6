// zelkor-sim: the same program driving a simulated board, for trying it without one.
#include <QApplication>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/qt/run_zelkor.h"
#include "link/linux_timing_services.h"
#include "link/recording_port.h"
#include "sim/sim_options.h"

namespace {

int BadOptions(const std::string& program, const std::string& error) {
  std::cerr << program << ": " << error << '\n';
  return zelkor::sim::kExitBadOptions;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string program = argc > 0 ? argv[0] : "zelkor-sim";
  // Read before Qt starts, so that --help and a bad option need no display.
  const zelkor::sim::ParsedOptions parsed =
      zelkor::sim::ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) return BadOptions(program, parsed.error);
  const zelkor::sim::SimOptions& options = parsed.options;
  if (options.help) {
    std::cout << zelkor::sim::SimUsage(program);
    return zelkor::kExitNormal;
  }

  zelkor::sim::AssembledBoard assembled = zelkor::sim::AssembleBoard(options);
  if (!assembled.board) return BadOptions(program, assembled.error);
  zelkor::RecordingPort recorder(*assembled.board);
  std::optional<std::ofstream> trace;
  if (!options.tracePath.empty()) {
    trace.emplace(options.tracePath, std::ios::trunc);
    if (!*trace) return BadOptions(program, "cannot write the trace \"" + options.tracePath + "\"");
    recorder.StreamTo(*trace);
  }
  // Without a trace the board is driven directly: a recording would only pile up in memory.
  zelkor::Port& ports = trace ? static_cast<zelkor::Port&>(recorder) : *assembled.board;

  int exitCode = zelkor::kExitNormal;
  {
    QApplication application(argc, argv);
    zelkor::LinuxTimingServices timing;
    // The simulated board can always be driven: the gate has nothing to refuse.
    exitCode = zelkor::RunZelkor(
        {true, ports, timing, QCoreApplication::applicationFilePath().toStdString()});
  }
  if (const std::string error = zelkor::sim::SaveChipState(*assembled.board, options.statePath);
      !error.empty()) {
    std::cerr << program << ": " << error << '\n';
    return 1;
  }
  return exitCode;
}
