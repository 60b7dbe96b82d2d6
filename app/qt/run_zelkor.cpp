#include "app/qt/run_zelkor.h"

#include <QApplication>

#include "app/platform_gate.h"
#include "app/qt/form_zelkor.h"
#include "app/qt/message_boxes.h"
#include "app/qt/termination_signals.h"
#include "app/zelkor_logic.h"
#include "link/port_registers.h"

namespace zelkor {

namespace {

// The port space stays bound for exactly the window's life.
class BoundPorts {
 public:
  explicit BoundPorts(Port& ports) { BindPort(ports); }
  ~BoundPorts() { UnbindPort(); }
  BoundPorts(const BoundPorts&) = delete;
  BoundPorts& operator=(const BoundPorts&) = delete;
};

}  // namespace

int RunZelkor(const ZelkorRun& run) {
  if (!run.platformAllowsPortAccess) {
    ShowMessageBox(QString::fromStdString(ApplicationTitle(run.programPath)), kPlatformRefusedText);
    return kExitNormal;
  }
  BoundPorts bound(run.ports);
  TFormZelkor form(run.timing, run.programPath);
  QObject::connect(&form, &TFormZelkor::Closed, qApp, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  CloseOnTermination closeOnTermination(form);
  form.show();
  QApplication::exec();
  return kExitNormal;
}

}  // namespace zelkor
