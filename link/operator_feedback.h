// Everything the program shows the operator or asks of the operator. The Qt window implements
// it; tests use a recording fake. Nothing below app/ knows which one it talks to.
#pragma once

#include <optional>
#include <string>

namespace zelkor {

enum class ConfirmAnswer { Yes, No, Cancel };

// What a file dialog opens with; the filter is the program's one image-file filter.
struct FileDialogSetup {
  std::string initialDir;
  std::string defaultSuffix;  // empty: the typed name is taken as it stands
};

class OperatorFeedback {
 public:
  virtual ~OperatorFeedback() = default;

  // Status line: set and repainted at once, visible while the GUI thread is busy.
  virtual void StatusLine(const std::string& text) = 0;
  // The status line's text alone, shown when the window next paints (start-up only).
  virtual void SetStatusCaption(const std::string& text) = 0;
  // Buffer status line: changed without an immediate repaint.
  virtual void SetBufferStatus(const std::string& text) = 0;
  virtual std::string BufferStatus() const = 0;
  virtual void SetGaugeMax(int maximum) = 0;
  virtual void SetGaugePosition(int position) = 0;

  // Modal; returns once the operator has closed it.
  virtual void ShowMessage(const std::string& text) = 0;
  virtual ConfirmAnswer Confirm(const std::string& question) = 0;
  // The general error handler's box for an error raised inside a command.
  virtual void ShowError(const std::string& text) = 0;

  // The two halves of the busy state, used in the order each command gives.
  virtual void SetWindowEnabled(bool enabled) = 0;
  virtual void SetHourglass(bool on) = 0;
  virtual void RepaintWindow() = 0;

  // The calibration notice: shown without a button while the delay unit is measured.
  virtual void ShowNotice(const std::string& text) = 0;
  virtual void CloseNotice() = 0;
  virtual void CloseWindow() = 0;

  // File dialogs; nullopt when the operator cancels.
  virtual std::optional<std::string> ChooseOpenFile(const FileDialogSetup& setup) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const FileDialogSetup& setup) = 0;
};

}  // namespace zelkor
