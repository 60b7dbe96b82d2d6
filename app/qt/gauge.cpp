#include "app/qt/gauge.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>

namespace zelkor {

namespace {

constexpr int kFullPercent = 100;
const QColor kBarColour = Qt::blue;
const QColor kBackColour = Qt::white;
const QColor kBorderColour = Qt::black;

}  // namespace

Gauge::Gauge(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted here, so Qt need not clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

int Gauge::Clamped(int position) const {
  return std::clamp(position, minimum_, maximum_);
}

int Gauge::Percent() const {
  if (maximum_ == minimum_) return 0;
  // 64 bits: a maximum near INT_MAX times 100 would overflow an int.
  const std::int64_t done = static_cast<std::int64_t>(position_) - minimum_;
  const std::int64_t range = static_cast<std::int64_t>(maximum_) - minimum_;
  return static_cast<int>(done * kFullPercent / range);
}

void Gauge::SetMaximum(int maximum) {
  if (maximum == maximum_) return;
  maximum_ = std::max(maximum, minimum_);
  position_ = Clamped(position_);
  repaint();
}

void Gauge::SetPosition(int position) {
  const int before = Percent();
  position_ = Clamped(position);
  if (Percent() != before) repaint();
}

void Gauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  painter.setPen(kBorderColour);
  painter.drawRect(frame);

  const QRect inside = rect().adjusted(1, 1, -1, -1);
  const int barWidth = inside.width() * Percent() / kFullPercent;
  const QRect bar(inside.left(), inside.top(), barWidth, inside.height());
  const QRect rest(inside.left() + barWidth, inside.top(), inside.width() - barWidth,
                   inside.height());
  painter.fillRect(bar, kBarColour);
  painter.fillRect(rest, kBackColour);

  // The text takes the other colour over each part, so it stays readable wherever the bar ends.
  const QString text = QStringLiteral("%1%").arg(Percent());
  painter.setClipRect(bar);
  painter.setPen(kBackColour);
  painter.drawText(inside, Qt::AlignCenter, text);
  painter.setClipRect(rest);
  painter.setPen(kBarColour);
  painter.drawText(inside, Qt::AlignCenter, text);
}

}  // namespace zelkor
