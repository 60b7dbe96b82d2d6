// The program's run, shared by the program on the real port and the one on the simulated
// board: the platform gate, the main window on the given port space, the event loop.
#pragma once

#include <string>

#include "link/port.h"
#include "link/timing_services.h"

namespace zelkor {

inline constexpr int kExitNormal = 0;

struct ZelkorRun {
  // The gate's answer: whether this process may drive the I/O ports at all.
  bool platformAllowsPortAccess = false;
  Port& ports;
  TimingServices& timing;
  std::string programPath;
};

// Needs a QApplication. A refusal by the gate is shown and ends the run with exit code 0
// before any window exists and before the ports or the priorities are touched.
int RunZelkor(const ZelkorRun& run);

}  // namespace zelkor
