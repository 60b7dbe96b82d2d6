#include "app/qt/qt_feedback.h"

#include <QApplication>
#include <QLabel>
#include <utility>

#include "app/qt/calibration_notice.h"
#include "app/qt/file_dialogs.h"
#include "app/qt/gauge.h"
#include "app/qt/message_boxes.h"

namespace zelkor {

QtFeedback::QtFeedback(QString applicationTitle) : title_(std::move(applicationTitle)) {}

QtFeedback::~QtFeedback() {
  // The override cursor belongs to the application and would outlive the window.
  SetHourglass(false);
}

void QtFeedback::StatusLine(const std::string& text) {
  SetStatusCaption(text);
  widgets_.status->repaint();
}

void QtFeedback::SetStatusCaption(const std::string& text) {
  widgets_.status->setText(QString::fromStdString(text));
}

void QtFeedback::SetBufferStatus(const std::string& text) {
  widgets_.buffer->setText(QString::fromStdString(text));
}

std::string QtFeedback::BufferStatus() const {
  return widgets_.buffer->text().toStdString();
}

void QtFeedback::SetGaugeMax(int maximum) {
  widgets_.gauge->SetMaximum(maximum);
}

void QtFeedback::SetGaugePosition(int position) {
  widgets_.gauge->SetPosition(position);
}

void QtFeedback::ShowMessage(const std::string& text) {
  ShowMessageBox(title_, text);
}

ConfirmAnswer QtFeedback::Confirm(const std::string& question) {
  return AskYesNoCancel(question);
}

void QtFeedback::ShowError(const std::string& text) {
  ShowStopBox(title_, text);
}

void QtFeedback::SetWindowEnabled(bool enabled) {
  widgets_.window->setEnabled(enabled);
}

void QtFeedback::SetHourglass(bool on) {
  // Qt stacks override cursors; the program has one hourglass, on or off.
  if (on == hourglass_) return;
  hourglass_ = on;
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtFeedback::RepaintWindow() {
  widgets_.window->repaint();
}

void QtFeedback::ShowNotice(const std::string& text) {
  notice_ = std::make_unique<CalibrationNotice>(title_, QString::fromStdString(text));
  notice_->ShowAtOnce();
}

void QtFeedback::CloseNotice() {
  notice_.reset();
}

void QtFeedback::CloseWindow() {
  widgets_.window->close();
}

std::optional<std::string> QtFeedback::ChooseOpenFile(const FileDialogSetup& setup) {
  return ChooseOpenImage(widgets_.window, setup);
}

std::optional<std::string> QtFeedback::ChooseSaveFile(const FileDialogSetup& setup) {
  return ChooseSaveImage(widgets_.window, setup);
}

}  // namespace zelkor
