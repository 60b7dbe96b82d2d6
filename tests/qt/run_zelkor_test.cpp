// The program's run: refused by the gate before anything else happens, or the window on the
// bound port until it is closed.
#include "app/qt/run_zelkor.h"

#include <signal.h>

#include <QTimer>

#include "app/platform_gate.h"
#include "form_fixture.h"

namespace zelkor::testing {
namespace {

using RunZelkorTest = FormFixture;

TEST_F(RunZelkorTest, ARefusedPlatformShowsOnlyTheMessageAndExitsWithZero) {
  sim::ProgrammerBoard board;
  RecordingPort ports(board);
  bool windowSeen = false;
  watcher_.mainWindowVisible = [&] {
    for (QWidget* top : QApplication::topLevelWidgets())
      windowSeen |= top->inherits("zelkor::TFormZelkor");
    return windowSeen;
  };

  const int exitCode = RunZelkor({false, ports, timing_, kProgramPath});

  EXPECT_EQ(exitCode, 0);
  ASSERT_EQ(watcher_.seen.size(), 1u);
  EXPECT_EQ(watcher_.seen[0].text, kPlatformRefusedText);
  EXPECT_EQ(watcher_.seen[0].title, kTitle);
  EXPECT_FALSE(windowSeen);
  EXPECT_TRUE(ports.Accesses().empty());
  EXPECT_TRUE(timing_.calls.empty());
}

TEST_F(RunZelkorTest, AnAllowedRunShowsTheWindowOnThePortUntilItCloses) {
  sim::ProgrammerBoard board;
  RecordingPort ports(board);
  QPointer<QWidget> shown;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->inherits("zelkor::TFormZelkor") && top->isVisible()) {
        shown = top;
        top->close();
      }
    }
  });
  closer.start(10);

  const int exitCode = RunZelkor({true, ports, timing_, kProgramPath});

  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(watcher_.seen.empty());
  EXPECT_FALSE(ports.Accesses().empty());
  EXPECT_EQ(board.SupplyVoltage(), sim::Supply::Off);
  EXPECT_EQ(timing_.PriorityClass(), NORMAL_PRIORITY_CLASS);
  EXPECT_TRUE(shown.isNull());  // the window lives only as long as the run
}

TEST_F(RunZelkorTest, ATerminationSignalClosesTheWindowTheOrdinaryWay) {
  sim::ProgrammerBoard board;
  RecordingPort ports(board);
  QTimer terminator;
  QObject::connect(&terminator, &QTimer::timeout, [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->inherits("zelkor::TFormZelkor") && top->isVisible()) {
        terminator.stop();
        ::raise(SIGTERM);
      }
    }
  });
  terminator.start(10);

  EXPECT_EQ(RunZelkor({true, ports, timing_, kProgramPath}), 0);
  EXPECT_EQ(timing_.PriorityClass(), NORMAL_PRIORITY_CLASS);
  EXPECT_EQ(board.DataRegister(), 0x23);
  EXPECT_EQ(board.SupplyVoltage(), sim::Supply::Off);
}

}  // namespace
}  // namespace zelkor::testing
