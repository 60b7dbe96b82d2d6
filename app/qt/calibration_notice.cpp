#include "app/qt/calibration_notice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QWindow>

namespace zelkor {

namespace {

constexpr int kMargin = 20;
// Long enough for a window manager to map the window; the notice never waits longer.
constexpr int kExposeWaitMs = 500;
constexpr unsigned long kPollMs = 2;

void CentreOnScreen(QWidget& widget) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = widget.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  widget.move(frame.topLeft());
}

}  // namespace

CalibrationNotice::CalibrationNotice(const QString& title, const QString& text)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(title);
  auto* label = new QLabel(text, this);
  label->setTextFormat(Qt::PlainText);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(kMargin, 0, kMargin, 0);
  layout->addWidget(label);
  setFixedSize(label->sizeHint().width() + 2 * kMargin, kNoticeTotalHeight);
}

void CalibrationNotice::ShowAtOnce() {
  CentreOnScreen(*this);
  show();
  QElapsedTimer waited;
  waited.start();
  while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < kExposeWaitMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(kPollMs);
  }
  // The total height counts the frame, which is known only once the window is mapped.
  const int frameExtra = frameGeometry().height() - height();
  if (frameExtra > 0 && frameExtra < kNoticeTotalHeight) {
    setFixedHeight(kNoticeTotalHeight - frameExtra);
    CentreOnScreen(*this);
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  repaint();
}

}  // namespace zelkor
