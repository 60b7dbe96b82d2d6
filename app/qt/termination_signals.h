// Ctrl+C in the terminal, a hang-up or a plain kill closes the window the ordinary way, so
// that the board is left safe and the priorities are put back even then. The request is
// taken up by the event loop, so a command that is driving the board runs to its end first.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

class QWidget;

namespace zelkor {

class CloseOnTermination final : public QObject {
  Q_OBJECT

 public:
  explicit CloseOnTermination(QWidget& window);
  ~CloseOnTermination() override;
  CloseOnTermination(const CloseOnTermination&) = delete;
  CloseOnTermination& operator=(const CloseOnTermination&) = delete;

 private:
  QWidget& window_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace zelkor
