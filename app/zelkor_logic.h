// The main window's state and every handler of its events, without Qt: the Qt form owns one
// and forwards its events; tests drive it directly with a recording feedback.
#pragma once

#include <string>

#include "image/image_buffer.h"
#include "link/chip_geometry.h"
#include "link/line_protocol.h"
#include "link/operator_feedback.h"
#include "link/timing_services.h"
#include "operations/operation_frame.h"

namespace zelkor {

// The control that raised an event.
enum class Sender {
  ButtonClose,
  bRead,
  bWrite,
  bBlanc,
  bFRead,
  bFSave,
  bDiag,
  bAbout,
  rb256,
  rb512,
};

inline constexpr const char* kCalibrationNoticeText = "Калибровка... подождите.";
inline constexpr const char* kAboutText =
    "Мастерская Zelkor, программа для своего программатора.\n"
    "\n"
    "Программатор микросхем ПЗУ 27С256 и 27С512.";

class ZelkorLogic {
 public:
  ZelkorLogic(OperatorFeedback& feedback, TimingServices& timing, std::string programPath);

  void FormCreate();
  void FormClose();
  void ButtonCloseClick();
  void bAboutClick();
  void rb256512Click(Sender sender);
  void bBlancClick(Sender sender);
  void bReadClick(Sender sender);
  void bFReadClick(Sender sender);
  void bFSaveClick(Sender sender);

  // The write algorithm group has no handler; the form keeps this in step with rbNormal.
  void SetNormalAlgorithm(bool normal) { normalAlgorithm_ = normal; }
  bool NormalAlgorithm() const { return normalAlgorithm_; }

  // The window's fields, in the order the window declares them.
  std::string LastDir;
  ImageBytes ImageBuffer{};
  bool IsBlank = false;
  bool LastStepChanged = false;
  Chip ChipType = Chip::C27C512;

  LineProtocol& Line() { return line_; }

 private:
  OperatorFeedback& feedback_;
  TimingServices& timing_;
  std::string programPath_;
  LineProtocol line_;
  bool normalAlgorithm_ = false;
};

// The caption of every message box: the program file's name without its directory and
// without everything from its first period on, all but the first character in lower case.
std::string ApplicationTitle(const std::string& programPath);

}  // namespace zelkor
