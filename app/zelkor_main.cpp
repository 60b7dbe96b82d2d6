// zelkor: the programmer's program on the parallel port of this machine.
#include <QApplication>
#include <memory>

#include "app/platform_gate.h"
#include "app/qt/run_zelkor.h"
#include "link/hardware_ports.h"
#include "link/linux_timing_services.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const bool allowed = zelkor::PlatformAllowsPortAccess();
  // The ports are opened only once the gate has let the program through.
  std::unique_ptr<zelkor::Port> ports =
      allowed ? zelkor::OpenHardwarePorts() : std::make_unique<zelkor::FloatingPort>();
  zelkor::LinuxTimingServices timing;
  return zelkor::RunZelkor(
      {allowed, *ports, timing, QCoreApplication::applicationFilePath().toStdString()});
}
