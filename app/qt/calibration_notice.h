// The notice shown while the delay unit is measured: a box like the message box, with no
// button and no close box, since the measurement cannot be interrupted.
#pragma once

#include <QWidget>

namespace zelkor {

inline constexpr int kNoticeTotalHeight = 70;

class CalibrationNotice final : public QWidget {
  Q_OBJECT

 public:
  CalibrationNotice(const QString& title, const QString& text);

  // Shows it centred and painted before returning: the calibration that follows keeps the
  // GUI thread from painting anything for a while.
  void ShowAtOnce();
};

}  // namespace zelkor
