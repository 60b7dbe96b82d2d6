#include "app/qt/termination_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QWidget>
#include <array>

namespace zelkor {

namespace {

constexpr std::array kSignals{SIGINT, SIGTERM, SIGHUP};

// The two ends of the pipe from the signal handler to the event loop; -1 when not in use.
int signalWriteEnd = -1;
int signalReadEnd = -1;

// Only async-signal-safe calls here: one byte down the pipe.
void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signalWriteEnd, &byte, 1);
}

void InstallHandlers(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kSignals) sigaction(signal, &action, nullptr);
}

}  // namespace

CloseOnTermination::CloseOnTermination(QWidget& window) : window_(window) {
  std::array<int, 2> ends{};
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends.data()) != 0) return;
  signalWriteEnd = ends[0];
  signalReadEnd = ends[1];
  notifier_ = std::make_unique<QSocketNotifier>(signalReadEnd, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    char byte;
    [[maybe_unused]] const ssize_t read = ::read(signalReadEnd, &byte, 1);
    window_.close();
  });
  InstallHandlers(OnSignal);
}

CloseOnTermination::~CloseOnTermination() {
  if (!notifier_) return;
  InstallHandlers(SIG_DFL);
  notifier_.reset();
  ::close(signalWriteEnd);
  ::close(signalReadEnd);
  signalWriteEnd = signalReadEnd = -1;
}

}  // namespace zelkor
