// Counts the paint events a widget receives, to tell an immediate repaint from a later one.
#pragma once

#include <QEvent>
#include <QObject>

namespace zelkor::testing {

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace zelkor::testing
