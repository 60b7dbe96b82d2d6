#include "app/zelkor_logic.h"

#include <cctype>
#include <utility>

#include "link/delay_unit.h"

namespace zelkor {

ZelkorLogic::ZelkorLogic(OperatorFeedback& feedback, TimingServices& timing,
                         std::string programPath)
    : feedback_(feedback),
      timing_(timing),
      programPath_(std::move(programPath)),
      line_(feedback_, ChipType) {}

void ZelkorLogic::FormCreate() {
  feedback_.ShowNotice(kCalibrationNoticeText);
  CalibrateDelay(timing_);
  feedback_.CloseNotice();
  LastDir = DirectoryOf(programPath_);
  ChipType = Chip::C27C512;
  ImageBuffer.fill(kErasedByte);
  feedback_.SetBufferStatus(kBufferEmptyText);
  feedback_.SetStatusCaption("");
  timing_.SetThreadPriority(THREAD_PRIORITY_TIME_CRITICAL);
  timing_.SetPriorityClass(HIGH_PRIORITY_CLASS);
  line_.DetectProgrammer();
  feedback_.SetStatusCaption(kReadyText);
}

void ZelkorLogic::FormClose() {
  feedback_.SetHourglass(true);
  line_.EnterSafeState();
  timing_.SetPriorityClass(NORMAL_PRIORITY_CLASS);
  timing_.SetThreadPriority(THREAD_PRIORITY_NORMAL);
  feedback_.SetHourglass(false);
}

void ZelkorLogic::ButtonCloseClick() {
  feedback_.CloseWindow();
}

void ZelkorLogic::bAboutClick() {
  feedback_.ShowMessage(kAboutText);
}

void ZelkorLogic::rb256512Click(Sender sender) {
  ImageBuffer.fill(kErasedByte);
  feedback_.SetBufferStatus(kBufferEmptyText);
  ChipType = sender == Sender::rb512 ? Chip::C27C512 : Chip::C27C256;
  line_.ApplyChipTypeLine();
}

std::string ApplicationTitle(const std::string& programPath) {
  std::string name = FileNameOf(programPath);
  name = name.substr(0, name.find('.'));
  for (std::size_t i = 1; i < name.size(); ++i) {
    name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
  }
  return name;
}

}  // namespace zelkor
