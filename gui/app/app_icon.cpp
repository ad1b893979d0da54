#include "app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace zentrel {

namespace {

QPixmap Draw(int side) {
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = side / 32.0;
  p.setPen(QPen(QColor(40, 40, 40), 1.2 * s));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(1.5 * s, 1.5 * s, 29 * s, 29 * s), 3 * s, 3 * s);
  p.setPen(QPen(Qt::black, 1.4 * s));
  p.drawLine(QPointF(6 * s, 5 * s), QPointF(6 * s, 26 * s));
  p.drawLine(QPointF(6 * s, 26 * s), QPointF(28 * s, 26 * s));
  QPainterPath curve;
  for (int i = 0; i <= 20; ++i) {
    const double x = 7 + i;
    const double y = 26 - 18 * std::exp(-i / 5.0);
    if (i == 0)
      curve.moveTo(x * s, y * s);
    else
      curve.lineTo(x * s, y * s);
  }
  p.setPen(QPen(QColor(200, 30, 30), 1.6 * s));
  p.setBrush(Qt::NoBrush);
  p.drawPath(curve);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 60, 200));
  for (int i = 0; i <= 20; i += 4) {
    const double y = 26 - 18 * std::exp(-i / 5.0) + ((i / 4) % 2 ? 1.5 : -1.5);
    p.drawEllipse(QPointF((7 + i) * s, y * s), 1.6 * s, 1.6 * s);
  }
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128}) icon.addPixmap(Draw(side));
  return icon;
}

}  // namespace zentrel
