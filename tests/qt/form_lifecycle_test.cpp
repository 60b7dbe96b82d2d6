// Start-up, the chip-type buttons, the About box and every way of closing the window.
#include <QCloseEvent>
#include <QWindow>
#include <functional>

#include "form_fixture.h"

namespace zelkor::testing {
namespace {

using FormLifecycle = FormFixture;

TEST_F(FormLifecycle, StartsReadyWithAnEmptyBufferAndTheBoardSafe) {
  Start();
  EXPECT_TRUE(watcher_.seen.empty());
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(Text("lbMsg"), QString::fromUtf8("Готов"));
  EXPECT_EQ(Text("lbBuf"), QString::fromUtf8("Буфер пустой (0FFh)"));
  EXPECT_TRUE(Find<QRadioButton>("rb512")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("rbFast")->isChecked());
  EXPECT_FALSE(form_->Logic().NormalAlgorithm());
  EXPECT_EQ(Find<Gauge>("Progress")->Percent(), 0);
  EXPECT_EQ(board_->SupplyVoltage(), sim::Supply::Off);
  EXPECT_EQ(board_->ProgrammingVoltage(), sim::Programming::Off);
  // The run goes on at the raised priority until the window closes.
  EXPECT_EQ(timing_.PriorityClass(), HIGH_PRIORITY_CLASS);
  EXPECT_EQ(timing_.ThreadPriority(), THREAD_PRIORITY_TIME_CRITICAL);
}

TEST_F(FormLifecycle, WithoutABoardTheMessagesComeBeforeTheWindowWhichStillStartsReady) {
  Start(false);
  ASSERT_GE(watcher_.seen.size(), 2u);
  EXPECT_EQ(watcher_.seen[0].text, "Программатор не найден.");
  EXPECT_EQ(watcher_.seen[1].text, "Ошибка программатора 595/157");
  for (const BoxSeen& box : watcher_.seen) {
    EXPECT_EQ(box.title, kTitle);
    EXPECT_FALSE(box.mainWindowVisible);
  }
  EXPECT_EQ(Text("lbMsg"), QString::fromUtf8("Готов"));
  EXPECT_EQ(Text("lbBuf"), QString::fromUtf8("Буфер пустой (0FFh)"));
}

TEST_F(FormLifecycle, TheNoticeIsGoneBeforeTheWindowIsShown) {
  Start();
  for (QWidget* top : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(top->isVisible() && top->windowTitle() == kTitle) << "notice still up";
  }
}

struct CloseWay {
  const char* name;
  std::function<void(TFormZelkor&)> close;
};

const CloseWay kCloseWays[] = {
    {"Close button", [](TFormZelkor& f) { f.findChild<QAbstractButton*>("ButtonClose")->click(); }},
    {"close()", [](TFormZelkor& f) { f.close(); }},
    // What the window manager's close box and Alt+F4 arrive as.
    {"window close request", [](TFormZelkor& f) { f.windowHandle()->close(); }},
    {"spontaneous close event",
     [](TFormZelkor& f) {
       QCloseEvent event;
       QApplication::sendEvent(&f, &event);
     }},
};

TEST_F(FormLifecycle, EveryWayOfClosingRunsFormCloseOnce) {
  for (const CloseWay& way : kCloseWays) {
    SCOPED_TRACE(way.name);
    timing_.calls.clear();
    Start();
    form_->show();
    int closedSignals = 0;
    QObject::connect(form_.get(), &TFormZelkor::Closed, [&] { ++closedSignals; });
    const std::string normalClass = "class:" + std::to_string(NORMAL_PRIORITY_CLASS);
    const std::size_t before = CountCalls(normalClass);

    way.close(*form_);
    form_->close();  // a second request finds the board already safe and does nothing more
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(closedSignals, 1);
    form_.reset();

    EXPECT_EQ(CountCalls(normalClass) - before, 1u);
    EXPECT_EQ(timing_.PriorityClass(), NORMAL_PRIORITY_CLASS);
    EXPECT_EQ(timing_.ThreadPriority(), THREAD_PRIORITY_NORMAL);
    EXPECT_EQ(board_->DataRegister(), 0x23);
    EXPECT_EQ(board_->SupplyVoltage(), sim::Supply::Off);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
}

TEST_F(FormLifecycle, AWindowDestroyedWithoutClosingStillLeavesTheBoardSafe) {
  Start();
  const std::size_t writes = Writes();
  form_.reset();
  EXPECT_GT(Writes(), writes);
  EXPECT_EQ(timing_.PriorityClass(), NORMAL_PRIORITY_CLASS);
}

TEST_F(FormLifecycle, AboutShowsThreeLinesWithCyrillicChipNames) {
  Start();
  Click("bAbout");
  ASSERT_EQ(watcher_.seen.size(), 1u);
  const BoxSeen& box = watcher_.seen[0];
  EXPECT_EQ(box.title, kTitle);
  EXPECT_EQ(box.icon, QMessageBox::NoIcon);
  EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(box.defaultButton, "OK");
  EXPECT_EQ(box.escapeButton, "OK");
  const QStringList lines = QString::fromStdString(box.text).split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_FALSE(lines[0].isEmpty());
  EXPECT_TRUE(lines[1].isEmpty());
  EXPECT_EQ(lines[2], QString::fromUtf8("Программатор микросхем ПЗУ 27С256 и 27С512."));
  EXPECT_EQ(lines[2].count(QChar(0x0421)), 2);  // Cyrillic Es
  EXPECT_FALSE(lines[2].contains('C'));         // and no Latin C
}

TEST_F(FormLifecycle, OnlyAChipTypeButtonThatBecomesCheckedEmptiesTheBuffer) {
  Start();
  form_->Logic().ImageBuffer[0] = 0x12;
  const std::size_t writes = Writes();

  Click("rb512");  // already checked: raises nothing
  EXPECT_EQ(Writes(), writes);
  EXPECT_EQ(form_->Logic().ImageBuffer[0], 0x12);

  Click("rb256");
  EXPECT_GT(Writes(), writes);
  EXPECT_EQ(form_->Logic().ChipType, Chip::C27C256);
  EXPECT_EQ(form_->Logic().ImageBuffer[0], 0xFF);
  EXPECT_FALSE(board_->ChipTypeLine512());

  form_->Logic().ImageBuffer[0] = 0x34;
  const std::size_t after256 = Writes();
  Click("rb256");
  EXPECT_EQ(Writes(), after256);
  EXPECT_EQ(form_->Logic().ImageBuffer[0], 0x34);
}

TEST_F(FormLifecycle, TheWriteAlgorithmFollowsTheRadioButtons) {
  Start();
  Click("rbNormal");
  EXPECT_TRUE(form_->Logic().NormalAlgorithm());
  Click("rbFast");
  EXPECT_FALSE(form_->Logic().NormalAlgorithm());
  EXPECT_EQ(watcher_.seen.size(), 0u);
}

}  // namespace
}  // namespace zelkor::testing
