// The operator feedback drawn on the main window's controls and in Qt's modal boxes.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "link/operator_feedback.h"

class QLabel;
class QWidget;

namespace zelkor {

class CalibrationNotice;
class Gauge;

// The controls the feedback draws on; all belong to the main window.
struct FeedbackWidgets {
  QWidget* window = nullptr;
  QLabel* status = nullptr;
  QLabel* buffer = nullptr;
  Gauge* gauge = nullptr;
};

class QtFeedback final : public OperatorFeedback {
 public:
  explicit QtFeedback(QString applicationTitle);
  ~QtFeedback() override;

  void Attach(const FeedbackWidgets& widgets) { widgets_ = widgets; }

  void StatusLine(const std::string& text) override;
  void SetStatusCaption(const std::string& text) override;
  void SetBufferStatus(const std::string& text) override;
  std::string BufferStatus() const override;
  void SetGaugeMax(int maximum) override;
  void SetGaugePosition(int position) override;

  void ShowMessage(const std::string& text) override;
  ConfirmAnswer Confirm(const std::string& question) override;
  void ShowError(const std::string& text) override;

  void SetWindowEnabled(bool enabled) override;
  void SetHourglass(bool on) override;
  void RepaintWindow() override;

  void ShowNotice(const std::string& text) override;
  void CloseNotice() override;
  void CloseWindow() override;

  std::optional<std::string> ChooseOpenFile(const FileDialogSetup& setup) override;
  std::optional<std::string> ChooseSaveFile(const FileDialogSetup& setup) override;

 private:
  QString title_;
  FeedbackWidgets widgets_;
  std::unique_ptr<CalibrationNotice> notice_;
  bool hourglass_ = false;
};

}  // namespace zelkor
