// Closes every modal box the program opens, after noting what it showed, so that a test
// that runs into one does not block. A test may answer a box its own way instead.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace zelkor::testing {

struct BoxSeen {
  std::string title;
  std::string text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  std::vector<std::string> buttons;
  std::string defaultButton;
  std::string escapeButton;
  bool mainWindowVisible = false;
};

class ModalWatcher {
 public:
  // Answers one modal widget; the default presses a box's escape button.
  using Answer = std::function<void(QWidget*)>;

  ModalWatcher() {
    timer_.setInterval(kPollMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  std::vector<BoxSeen> seen;
  Answer answer = [](QWidget* modal) { Dismiss(modal); };
  // Says whether the main window was on screen while a box was up.
  std::function<bool()> mainWindowVisible = [] { return false; };

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& box : seen) texts.push_back(box.text);
    return texts;
  }

  static void Dismiss(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->escapeButton()) {
      box->escapeButton()->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else {
      modal->close();
    }
  }

 private:
  static constexpr int kPollMs = 5;

  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == last_) return;
    last_ = modal;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) Note(*box);
    answer(modal);
  }

  void Note(QMessageBox& box) {
    BoxSeen s;
    s.title = box.windowTitle().toStdString();
    s.text = box.text().toStdString();
    s.icon = box.icon();
    for (QAbstractButton* b : box.buttons()) s.buttons.push_back(b->text().toStdString());
    if (box.defaultButton()) s.defaultButton = box.defaultButton()->text().toStdString();
    if (box.escapeButton()) s.escapeButton = box.escapeButton()->text().toStdString();
    s.mainWindowVisible = mainWindowVisible();
    seen.push_back(s);
  }

  QTimer timer_;
  QPointer<QWidget> last_;
};

}  // namespace zelkor::testing
