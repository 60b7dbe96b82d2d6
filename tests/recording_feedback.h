// A scripted operator: keeps every text, gauge value and message in the order the program
// showed them, and gives the answers and file names the test put in its script.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/operator_feedback.h"

namespace zelkor::testing {

class RecordingFeedback : public OperatorFeedback {
 public:
  // Every event as "kind:detail", in order: "status:Готов", "message:ПЗУ чистая",
  // "gauge:256", "max:16383", "enabled:0", "hourglass:1", "repaint", ...
  std::vector<std::string> events;
  std::string bufferStatus;
  std::string statusCaption;
  std::deque<ConfirmAnswer> answers;             // Confirm pops; Cancel when empty
  std::deque<std::optional<std::string>> files;  // dialogs pop; cancelled when empty
  std::vector<FileDialogSetup> dialogs;
  // Runs while a message box is up, to look at the board at that moment.
  std::function<void(const std::string&)> onMessage;

  void StatusLine(const std::string& text) override {
    statusCaption = text;
    events.push_back("status:" + text);
  }
  void SetStatusCaption(const std::string& text) override {
    statusCaption = text;
    events.push_back("caption:" + text);
  }
  void SetBufferStatus(const std::string& text) override {
    bufferStatus = text;
    events.push_back("buffer:" + text);
  }
  std::string BufferStatus() const override { return bufferStatus; }
  void SetGaugeMax(int maximum) override { events.push_back("max:" + std::to_string(maximum)); }
  void SetGaugePosition(int position) override {
    events.push_back("gauge:" + std::to_string(position));
  }
  void ShowMessage(const std::string& text) override {
    events.push_back("message:" + text);
    if (onMessage) onMessage(text);
  }
  ConfirmAnswer Confirm(const std::string& question) override {
    events.push_back("confirm:" + question);
    if (answers.empty()) return ConfirmAnswer::Cancel;
    const ConfirmAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowError(const std::string& text) override { events.push_back("error:" + text); }
  void SetWindowEnabled(bool enabled) override {
    events.push_back(std::string("enabled:") + (enabled ? "1" : "0"));
  }
  void SetHourglass(bool on) override {
    events.push_back(std::string("hourglass:") + (on ? "1" : "0"));
  }
  void RepaintWindow() override { events.push_back("repaint"); }
  void ShowNotice(const std::string& text) override { events.push_back("notice:" + text); }
  void CloseNotice() override { events.push_back("notice-closed"); }
  void CloseWindow() override { events.push_back("close-window"); }
  std::optional<std::string> ChooseOpenFile(const FileDialogSetup& setup) override {
    return Choose("open-dialog", setup);
  }
  std::optional<std::string> ChooseSaveFile(const FileDialogSetup& setup) override {
    return Choose("save-dialog", setup);
  }

  // Only the events of one kind, without their prefix.
  std::vector<std::string> Of(const std::string& kind) const {
    std::vector<std::string> found;
    for (const auto& event : events) {
      if (event.rfind(kind + ":", 0) == 0) found.push_back(event.substr(kind.size() + 1));
    }
    return found;
  }

 private:
  std::optional<std::string> Choose(const std::string& kind, const FileDialogSetup& setup) {
    events.push_back(kind + ":" + setup.initialDir);
    dialogs.push_back(setup);
    if (files.empty()) return std::nullopt;
    auto file = files.front();
    files.pop_front();
    return file;
  }
};

}  // namespace zelkor::testing
