// The progress gauge: the percentage it shows and its redraw at once while the GUI thread
// is busy.
#include "app/qt/gauge.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "paint_counter.h"

namespace zelkor::testing {
namespace {

struct GaugeCase {
  int maximum;
  int position;
  int percent;
  int shownPosition;
};

TEST(Gauge, ShowsTheIntegerPercentageOfItsClampedPosition) {
  const GaugeCase cases[] = {
      {16383, 0, 0, 0},
      {16383, 16128, 98, 16128},
      {16383, 16383, 100, 16383},
      {16383, 20000, 100, 16383},
      {16383, -5, 0, 0},
      {100, 99, 99, 99},
      {0, 7, 0, 0},  // maximum equal to minimum
  };
  for (const GaugeCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.position) + " of " + std::to_string(c.maximum));
    Gauge gauge;
    gauge.SetMaximum(c.maximum);
    gauge.SetPosition(c.position);
    EXPECT_EQ(gauge.Percent(), c.percent);
    EXPECT_EQ(gauge.Position(), c.shownPosition);
  }
}

TEST(Gauge, StartsAtZeroOfOneHundred) {
  Gauge gauge;
  EXPECT_EQ(gauge.Minimum(), 0);
  EXPECT_EQ(gauge.Maximum(), 100);
  EXPECT_EQ(gauge.Position(), 0);
  EXPECT_EQ(gauge.Percent(), 0);
}

TEST(Gauge, RedrawsAtOnceOnlyWhenThePercentageOrTheMaximumChanges) {
  Gauge gauge;
  gauge.resize(451, 20);
  gauge.show();
  QCoreApplication::processEvents();
  PaintCounter counter;
  gauge.installEventFilter(&counter);

  // No event loop runs between these calls, as during a chip operation.
  gauge.SetMaximum(16383);
  EXPECT_EQ(counter.paints, 1);
  gauge.SetPosition(100);  // still 0%
  EXPECT_EQ(counter.paints, 1);
  gauge.SetPosition(16128);
  EXPECT_EQ(counter.paints, 2);
  gauge.SetPosition(16130);  // still 98%
  EXPECT_EQ(counter.paints, 2);
  gauge.SetPosition(0);
  EXPECT_EQ(counter.paints, 3);
}

TEST(Gauge, DrawsTheBarInProportion) {
  Gauge gauge;
  gauge.resize(102, 20);  // 100 pixels inside the border
  gauge.SetMaximum(100);
  gauge.SetPosition(50);
  const QImage image = gauge.grab().toImage();
  // Just inside the bar's end and just past it, away from the centred text.
  EXPECT_EQ(image.pixelColor(49, 2), QColor(Qt::blue));
  EXPECT_EQ(image.pixelColor(52, 2), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
}

}  // namespace
}  // namespace zelkor::testing
