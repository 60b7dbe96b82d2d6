// The window's controls where the operator knows them: place, size, caption, first check
// and tab order, and the window's own fixed frame.
#include <QGroupBox>
#include <QPushButton>

#include "form_fixture.h"

namespace zelkor::testing {
namespace {

struct Component {
  const char* name;
  const char* parent;
  QRect place;
  const char* caption;  // nullptr: none to check
  int checked;          // -1: not a radio button
};

const Component kComponents[] = {
    {"Progress", "FormZelkor", {5, 160, 451, 20}, nullptr, -1},
    {"lbMsg", "FormZelkor", {5, 135, 451, 13}, nullptr, -1},
    {"lbBuf", "FormZelkor", {5, 110, 451, 13}, nullptr, -1},
    {"ButtonClose", "FormZelkor", {380, 190, 75, 25}, "Закрыть", -1},
    {"bRead", "FormZelkor", {245, 40, 75, 25}, "Read", -1},
    {"bWrite", "FormZelkor", {245, 70, 75, 25}, "Write", -1},
    {"bBlanc", "FormZelkor", {245, 10, 75, 25}, "Blank check", -1},
    {"bFRead", "FormZelkor", {335, 10, 121, 25}, "Считать из файла", -1},
    {"bFSave", "FormZelkor", {335, 40, 121, 25}, "Сохранить в файл", -1},
    {"bDiag", "FormZelkor", {5, 190, 86, 25}, "Диагностика", -1},
    {"GroupBox1", "FormZelkor", {5, 5, 96, 91}, "Тип ПЗУ", -1},
    {"rb256", "GroupBox1", {10, 25, 76, 17}, "27C256", 0},
    {"rb512", "GroupBox1", {10, 50, 76, 17}, "27C512", 1},
    {"GroupBox2", "FormZelkor", {110, 5, 126, 91}, "Алгоритм записи", -1},
    {"rbNormal", "GroupBox2", {10, 25, 101, 17}, "NORMAL", 0},
    {"rbFast", "GroupBox2", {10, 50, 111, 17}, "ATMEL RAPID™", 1},
    {"bAbout", "FormZelkor", {336, 72, 119, 25}, "О программе...", -1},
};

QString CaptionOf(QWidget* w) {
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title();
  return {};
}

using FormLayout = FormFixture;

TEST_F(FormLayout, EveryComponentHasItsPlaceCaptionAndFirstCheck) {
  Start();
  for (const Component& c : kComponents) {
    SCOPED_TRACE(c.name);
    QWidget* w = Find(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget()->objectName(), c.parent);
    EXPECT_EQ(w->geometry(), c.place);
    if (c.caption) {
      EXPECT_EQ(CaptionOf(w), QString::fromUtf8(c.caption));
    }
    if (c.checked >= 0) {
      EXPECT_EQ(qobject_cast<QRadioButton*>(w)->isChecked(), c.checked == 1);
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
      EXPECT_FALSE(button->isDefault());
      EXPECT_FALSE(button->autoDefault());
    }
  }
}

TEST_F(FormLayout, WindowIsAFixedDialogWithTheProgramsCaptionAndFont) {
  Start();
  EXPECT_EQ(form_->windowTitle(), QString::fromUtf8("Программатор 27Cxxx"));
  EXPECT_EQ(form_->size(), QSize(462, 222));
  EXPECT_EQ(form_->minimumSize(), form_->maximumSize());
  const Qt::WindowFlags flags = form_->windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_EQ(form_->font().pixelSize(), 11);
  // The face the system found in its place must have the Cyrillic letters the window shows.
  const QFontMetrics metrics(Find("bFRead")->font());
  for (QChar letter : QString::fromUtf8("ПрограмторЗкыСчфйлДиусьОТЖ")) {
    EXPECT_TRUE(metrics.inFont(letter)) << QString(letter).toStdString();
  }
}

TEST_F(FormLayout, TabGoesThroughTheControlsInTheDesignedOrder) {
  Start();
  const std::vector<std::string> expected{"ButtonClose", "bBlanc",   "bRead",  "bWrite",
                                          "bFRead",      "bFSave",   "bDiag",  "rb256",
                                          "rb512",       "rbNormal", "rbFast", "bAbout"};
  std::vector<std::string> order;
  QWidget* w = Find("ButtonClose");
  for (std::size_t i = 0; i < expected.size(); ++i, w = w->nextInFocusChain()) {
    while (!(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
    order.push_back(w->objectName().toStdString());
  }
  EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace zelkor::testing
