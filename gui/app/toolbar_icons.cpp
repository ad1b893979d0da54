#include "toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zentrel {

namespace {

// Draws the glyph on a 24-unit square, scaled to the pixmap.
void DrawGlyph(QPainter& p, ToolbarGlyph glyph) {
  const QColor ink(60, 60, 60);
  const QColor paper(250, 250, 250);
  p.setPen(QPen(ink, 1.5));
  switch (glyph) {
    case ToolbarGlyph::Cut:
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QRectF(3, 15, 6, 6));
      p.drawEllipse(QRectF(15, 15, 6, 6));
      p.drawLine(QPointF(8, 16), QPointF(17, 3));
      p.drawLine(QPointF(16, 16), QPointF(7, 3));
      break;
    case ToolbarGlyph::Copy:
      p.setBrush(paper);
      p.drawRect(QRectF(4, 3, 11, 14));
      p.drawRect(QRectF(9, 7, 11, 14));
      for (double y : {11.0, 14.0, 17.0}) p.drawLine(QPointF(12, y), QPointF(17, y));
      break;
    case ToolbarGlyph::Paste:
      p.setBrush(QColor(200, 160, 100));
      p.drawRoundedRect(QRectF(4, 4, 16, 18), 2, 2);
      p.setBrush(paper);
      p.drawRect(QRectF(7, 8, 10, 12));
      p.setBrush(ink);
      p.drawRect(QRectF(9, 2, 6, 4));
      break;
    case ToolbarGlyph::Print:
      p.setBrush(paper);
      p.drawRect(QRectF(7, 2, 10, 8));
      p.setBrush(QColor(170, 170, 170));
      p.drawRoundedRect(QRectF(3, 9, 18, 9), 2, 2);
      p.setBrush(paper);
      p.drawRect(QRectF(7, 14, 10, 8));
      break;
  }
}

QIcon DrawnIcon(ToolbarGlyph glyph) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 24.0, size / 24.0);
    DrawGlyph(painter, glyph);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

QIcon ToolbarIcon(const char* themeName, ToolbarGlyph fallback) {
  return QIcon::fromTheme(QString::fromLatin1(themeName), DrawnIcon(fallback));
}

}  // namespace zentrel
