#include "app/qt/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace zelkor {

namespace {

// Plain text: a file name in a message must never be taken for markup.
void ShowOkBox(QMessageBox::Icon icon, const QString& title, const std::string& text) {
  QMessageBox box(icon, title, BoxText(text));
  box.setTextFormat(Qt::PlainText);
  QPushButton* ok = box.addButton(QMessageBox::Ok);
  ok->setIcon(QIcon());  // the box shows a plain "OK", whatever the desktop style adds
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
}

}  // namespace

QString BoxText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
  return shown;
}

void ShowMessageBox(const QString& title, const std::string& text) {
  ShowOkBox(QMessageBox::NoIcon, title, text);
}

void ShowStopBox(const QString& title, const std::string& text) {
  ShowOkBox(QMessageBox::Critical, title, text);
}

ConfirmAnswer AskYesNoCancel(const std::string& question) {
  QMessageBox box(QMessageBox::Question, kConfirmCaption, BoxText(question));
  box.setTextFormat(Qt::PlainText);
  QPushButton* yes = box.addButton(kYesText, QMessageBox::YesRole);
  QPushButton* no = box.addButton(kNoText, QMessageBox::NoRole);
  QPushButton* cancel = box.addButton(kCancelText, QMessageBox::RejectRole);
  box.setDefaultButton(yes);
  // Esc and the close box both press the escape button.
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == yes) return ConfirmAnswer::Yes;
  if (box.clickedButton() == no) return ConfirmAnswer::No;
  return ConfirmAnswer::Cancel;
}

}  // namespace zelkor
