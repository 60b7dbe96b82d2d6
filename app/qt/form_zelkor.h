// The program's one window: its controls at their fixed places, the operator feedback that
// draws on them, and the forwarding of every window event to the window's logic.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "app/qt/qt_feedback.h"
#include "app/zelkor_logic.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace zelkor {

class Gauge;

class TFormZelkor final : public QWidget {
  Q_OBJECT

 public:
  // Builds every control and runs FormCreate while the window is still hidden.
  TFormZelkor(TimingServices& timing, const std::string& programPath);
  ~TFormZelkor() override;

  ZelkorLogic& Logic() { return *logic_; }
  QtFeedback& Feedback() { return feedback_; }

 signals:
  // The window has closed and FormClose has run: the program ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void SetTabOrder();
  void WireEvents();
  void Forward(QPushButton* button, void (ZelkorLogic::*handler)(Sender), Sender sender);
  void RunFormClose();

  QtFeedback feedback_;
  std::unique_ptr<ZelkorLogic> logic_;
  bool closed_ = false;
  bool centred_ = false;

  Gauge* Progress = nullptr;
  QLabel* lbMsg = nullptr;
  QLabel* lbBuf = nullptr;
  QPushButton* ButtonClose = nullptr;
  QPushButton* bRead = nullptr;
  QPushButton* bWrite = nullptr;
  QPushButton* bBlanc = nullptr;
  QPushButton* bFRead = nullptr;
  QPushButton* bFSave = nullptr;
  QPushButton* bDiag = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QRadioButton* rb256 = nullptr;
  QRadioButton* rb512 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QRadioButton* rbNormal = nullptr;
  QRadioButton* rbFast = nullptr;
  QPushButton* bAbout = nullptr;
};

}  // namespace zelkor
