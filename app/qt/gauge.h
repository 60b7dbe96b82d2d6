// The progress gauge: a blue bar on white inside a single border, with the percentage done
// centred over it. It redraws itself at once when what it shows changes, because the
// commands that move it keep the GUI thread busy and no paint event would get through.
#pragma once

#include <QWidget>

namespace zelkor {

class Gauge final : public QWidget {
  Q_OBJECT

 public:
  explicit Gauge(QWidget* parent = nullptr);

  void SetMaximum(int maximum);
  void SetPosition(int position);
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  int Position() const { return position_; }
  // The integer percentage shown: 0 when the range is empty.
  int Percent() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int Clamped(int position) const;

  int minimum_ = 0;
  int maximum_ = 100;
  int position_ = 0;
};

}  // namespace zelkor
