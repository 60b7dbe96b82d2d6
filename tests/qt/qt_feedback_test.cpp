// What the operator sees of the feedback: the status lines, the boxes, the notice, the busy
// state and the file dialogs.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>

#include "app/qt/calibration_notice.h"
#include "form_fixture.h"
#include "paint_counter.h"

namespace zelkor::testing {
namespace {

using QtFeedbackTest = FormFixture;

TEST_F(QtFeedbackTest, StatusLinePaintsAtOnceButTheBufferLineWaits) {
  Start();
  form_->show();
  QCoreApplication::processEvents();
  PaintCounter status, buffer;
  Find("lbMsg")->installEventFilter(&status);
  Find("lbBuf")->installEventFilter(&buffer);

  form_->Feedback().StatusLine("Читаем адрес 1000");
  form_->Feedback().SetBufferStatus("В буфере данные, считанные из ПЗУ");
  EXPECT_EQ(status.paints, 1);
  EXPECT_EQ(buffer.paints, 0);
  EXPECT_EQ(Text("lbMsg"), QString::fromUtf8("Читаем адрес 1000"));
  EXPECT_EQ(form_->Feedback().BufferStatus(), "В буфере данные, считанные из ПЗУ");
}

TEST_F(QtFeedbackTest, ALongStatusIsCutOffAtTheRightEdgeOnOneLine) {
  Start();
  form_->show();
  const std::string wide(200, 'W');
  form_->Feedback().StatusLine(wide + " <b>not markup</b>");
  QLabel* line = Find<QLabel>("lbMsg");
  EXPECT_EQ(line->size(), QSize(451, 13));
  EXPECT_EQ(line->textFormat(), Qt::PlainText);
  const QImage image = line->grab().toImage();
  // Ink in the last columns: the text runs on to the edge, not wrapped below or elided.
  const QColor background = image.pixelColor(0, 0);
  bool inkAtRightEdge = false;
  for (int x = image.width() - 6; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) inkAtRightEdge |= image.pixelColor(x, y) != background;
  }
  EXPECT_TRUE(inkAtRightEdge);
}

TEST_F(QtFeedbackTest, MessageBoxesCarryTheTitleIconAndButtons) {
  Start();
  form_->Feedback().ShowMessage("Первая\n\rвторая\nтретья");
  form_->Feedback().ShowError("File access denied");
  ASSERT_EQ(watcher_.seen.size(), 2u);
  EXPECT_EQ(watcher_.seen[0].text, "Первая\nвторая\nтретья");
  EXPECT_EQ(watcher_.seen[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(watcher_.seen[1].title, kTitle);
  EXPECT_EQ(watcher_.seen[1].icon, QMessageBox::Critical);
  EXPECT_EQ(watcher_.seen[1].buttons, std::vector<std::string>{"OK"});
}

void SendKey(QWidget* to, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(to, &press);
}

QAbstractButton* ButtonNamed(QWidget* box, const char* text) {
  for (auto* b : box->findChildren<QAbstractButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

TEST_F(QtFeedbackTest, ConfirmReturnsTheButtonPressedAndCancelForEscapeOrClose) {
  Start();
  struct Case {
    const char* how;
    std::function<void(QWidget*)> answer;
    ConfirmAnswer expected;
  };
  const Case cases[] = {
      {"Yes", [](QWidget* b) { ButtonNamed(b, "&Yes")->click(); }, ConfirmAnswer::Yes},
      {"No", [](QWidget* b) { ButtonNamed(b, "&No")->click(); }, ConfirmAnswer::No},
      {"Cancel", [](QWidget* b) { ButtonNamed(b, "Cancel")->click(); }, ConfirmAnswer::Cancel},
      {"Enter", [](QWidget* b) { SendKey(b, Qt::Key_Return); }, ConfirmAnswer::Yes},
      {"Esc", [](QWidget* b) { SendKey(b, Qt::Key_Escape); }, ConfirmAnswer::Cancel},
      {"close box", [](QWidget* b) { b->close(); }, ConfirmAnswer::Cancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    watcher_.seen.clear();
    watcher_.answer = c.answer;
    EXPECT_EQ(form_->Feedback().Confirm("ПЗУ не чистая. Продолжить?"), c.expected);
    ASSERT_EQ(watcher_.seen.size(), 1u);
    EXPECT_EQ(watcher_.seen[0].title, "Confirm");
    EXPECT_EQ(watcher_.seen[0].icon, QMessageBox::Question);
    // The platform's button box decides the order on screen.
    std::vector<std::string> buttons = watcher_.seen[0].buttons;
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(buttons, (std::vector<std::string>{"&No", "&Yes", "Cancel"}));
    EXPECT_EQ(watcher_.seen[0].defaultButton, "&Yes");
  }
}

CalibrationNotice* VisibleNotice() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* notice = qobject_cast<CalibrationNotice*>(top); notice && notice->isVisible()) {
      return notice;
    }
  }
  return nullptr;
}

TEST_F(QtFeedbackTest, TheNoticeHasNoButtonNorCloseBoxAndGoesAway) {
  Start();
  EXPECT_EQ(VisibleNotice(), nullptr);
  form_->Feedback().ShowNotice("Калибровка... подождите.");
  CalibrationNotice* notice = VisibleNotice();
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->windowTitle(), kTitle);
  EXPECT_EQ(notice->frameGeometry().height(), 70);
  EXPECT_FALSE(notice->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(notice->windowFlags() & Qt::WindowSystemMenuHint);
  EXPECT_TRUE(notice->findChildren<QAbstractButton*>().isEmpty());
  ASSERT_NE(notice->findChild<QLabel*>(), nullptr);
  EXPECT_EQ(notice->findChild<QLabel*>()->text(), QString::fromUtf8("Калибровка... подождите."));
  form_->Feedback().CloseNotice();
  EXPECT_EQ(VisibleNotice(), nullptr);
}

TEST_F(QtFeedbackTest, TheBusyHalvesDisableTheWindowAndShowOneHourglass) {
  Start();
  form_->Feedback().SetWindowEnabled(false);
  EXPECT_FALSE(form_->isEnabled());
  form_->Feedback().SetHourglass(true);
  form_->Feedback().SetHourglass(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  form_->Feedback().SetHourglass(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  form_->Feedback().SetWindowEnabled(true);
  EXPECT_TRUE(form_->isEnabled());
}

// Types a name into the dialog and presses its accept button, as the operator would.
ModalWatcher::Answer TypeName(QString name, QStringList* filters, QString* directory) {
  return [=](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    if (auto* types = dialog->findChild<QComboBox*>("fileTypeCombo")) {
      for (int i = 0; i < types->count(); ++i) filters->append(types->itemText(i));
      filters->append(types->currentText());
    }
    *directory = dialog->directory().absolutePath();
    if (name.isEmpty()) {
      dialog->reject();
      return;
    }
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    static_cast<QDialog*>(dialog)->accept();
  };
}

TEST_F(QtFeedbackTest, FileDialogsOfferTheImageFilterAndReturnTheChosenPath) {
  Start();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString base = QDir(dir.path()).canonicalPath();
  QFile existing(base + "/old.bin");
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();

  struct Case {
    const char* what;
    bool save;
    QString typed;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"open a missing file", false, "missing.abs", (base + "/missing.abs").toStdString()},
      {"save adds .bin", true, "image", (base + "/image.bin").toStdString()},
      {"save keeps an extension", true, "image.abs", (base + "/image.abs").toStdString()},
      {"save over a file, unasked", true, "old.bin", (base + "/old.bin").toStdString()},
      {"cancel", false, "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QStringList filters;
    QString directory;
    watcher_.answer = TypeName(c.typed, &filters, &directory);
    const FileDialogSetup setup{(base + "/").toStdString(), c.save ? "bin" : ""};
    const auto chosen =
        c.save ? form_->Feedback().ChooseSaveFile(setup) : form_->Feedback().ChooseOpenFile(setup);
    EXPECT_EQ(chosen, c.expected);
    EXPECT_EQ(directory, base);
    EXPECT_EQ(filters, (QStringList{QString::fromUtf8("Двоичные файлы (*.bin, *.abs)"),
                                    QString::fromUtf8("Все файлы"),
                                    QString::fromUtf8("Двоичные файлы (*.bin, *.abs)")}));
  }
}

}  // namespace
}  // namespace zelkor::testing
