#include "painter_surface.h"

#include <QFontMetricsF>
#include <QLine>
#include <QPaintDevice>
#include <QPen>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <cmath>
#include <vector>

namespace zentrel {

namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Rectangles arrive with top > bottom; in device units that is a proper
// rectangle from (left, bottom) up to (right, top), which the flipping
// transform turns the right way round.
QRectF ToRectF(const DeviceRect& r) { return QRectF(QPointF(r.left, r.bottom), QPointF(r.right, r.top)).normalized(); }

}  // namespace

QFont GraphFont() {
  QFont font;
  font.setFamilies(
      {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
  font.setStyleHint(QFont::Serif);
  font.setPointSizeF(12.0);
  return font;
}

PainterSurface::PainterSurface(QPainter& painter) : painter_(painter), font_(GraphFont()) {
  const QPaintDevice* device = painter.device();
  scaleX_ = device->logicalDpiX() / 100.0;
  scaleY_ = device->logicalDpiY() / 100.0;
  painter.setTransform(QTransform(scaleX_, 0.0, 0.0, -scaleY_, 0.0, 0.0));
  // Lines and markers are aliased, as device pixels; text is smoothed.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setFont(font_);
  painter.setBrush(Qt::white);
  painter.setBackground(Qt::white);
  painter.setBackgroundMode(Qt::TransparentMode);
  SelectPen(kBlack);
}

Colour PainterSurface::SelectPen(Colour colour) {
  const Colour previous = pen_;
  pen_ = colour;
  applyPen();
  return previous;
}

// Width 1 in device units is the classic pen: a pixel on screen, a
// hundredth of an inch on paper. Smoothed lines get round ends and joins,
// so the segments of a curve meet without notches.
void PainterSurface::applyPen() {
  QPen pen(QColor(RedOf(pen_), GreenOf(pen_), BlueOf(pen_)), lineWidth_, Qt::SolidLine,
           smooth_ ? Qt::RoundCap : Qt::SquareCap, smooth_ ? Qt::RoundJoin : Qt::MiterJoin);
  painter_.setPen(pen);
}

void PainterSurface::SetLineWidth(double units) {
  lineWidth_ = units > 0.0 ? units : 1.0;
  applyPen();
}

void PainterSurface::SetAntialiasing(bool on) {
  smooth_ = on;
  painter_.setRenderHint(QPainter::Antialiasing, on);
  applyPen();
}

void PainterSurface::DrawPolyline(std::span<const DevicePoint> points) {
  if (points.size() < 2) return;
  std::vector<QPoint> qpoints;
  qpoints.reserve(points.size());
  for (const auto& p : points) qpoints.emplace_back(p.x, p.y);
  painter_.drawPolyline(qpoints.data(), static_cast<int>(qpoints.size()));
}

void PainterSurface::DrawLine(DevicePoint from, DevicePoint to) {
  painter_.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
}

void PainterSurface::DrawSegments(std::span<const DeviceSegment> segments) {
  if (segments.empty()) return;
  std::vector<QLine> lines;
  lines.reserve(segments.size());
  for (const auto& s : segments) lines.emplace_back(s.from.x, s.from.y, s.to.x, s.to.y);
  painter_.drawLines(lines.data(), static_cast<int>(lines.size()));
}

void PainterSurface::DrawRectangles(std::span<const DeviceRect> rects) {
  if (rects.empty()) return;
  std::vector<QRectF> qrects;
  qrects.reserve(rects.size());
  for (const auto& r : rects) qrects.push_back(ToRectF(r));
  painter_.drawRects(qrects.data(), static_cast<int>(qrects.size()));
}

void PainterSurface::DrawEllipses(std::span<const DeviceRect> boxes) {
  // QPainter has no batched ellipse call.
  for (const auto& r : boxes) painter_.drawEllipse(ToRectF(r));
}

void PainterSurface::DrawText(DevicePoint topLeft, std::string_view text) {
  if (text.empty()) return;
  const QString string = ToQString(text);
  // Text is placed through the units transform but drawn without it, so it
  // stays upright and the font keeps its point size on every device.
  const QPointF at = painter_.transform().map(QPointF(topLeft.x, topLeft.y));
  painter_.save();
  painter_.resetTransform();
  const QFontMetricsF metrics(font_, painter_.device());
  // Opaque cell: the text covers whatever lies beneath it.
  painter_.fillRect(QRectF(at.x(), at.y(), metrics.horizontalAdvance(string), metrics.height()), Qt::white);
  painter_.setPen(Qt::black);
  painter_.drawText(QPointF(at.x(), at.y() + metrics.ascent()), string);
  painter_.restore();
}

QFont PainterSurface::fontFor(const TextStyle& style) const {
  QFont font = font_;
  font.setPointSizeF(style.points > 0.0 ? style.points : 12.0);
  return font;
}

void PainterSurface::DrawStyledText(DevicePoint topLeft, std::string_view text, const TextStyle& style) {
  if (text.empty()) return;
  const QString string = ToQString(text);
  const QFont font = fontFor(style);
  const QPointF at = painter_.transform().map(QPointF(topLeft.x, topLeft.y));
  painter_.save();
  painter_.resetTransform();
  painter_.setFont(font);
  const QFontMetricsF metrics(font, painter_.device());
  const double width = metrics.horizontalAdvance(string), height = metrics.height();
  painter_.translate(at);
  // Upward text turns a quarter left about the box's bottom-left corner.
  if (style.upward) {
    painter_.translate(0.0, width);
    painter_.rotate(-90.0);
  }
  if (style.opaque) painter_.fillRect(QRectF(0.0, 0.0, width, height), Qt::white);
  painter_.setPen(Qt::black);
  painter_.drawText(QPointF(0.0, metrics.ascent()), string);
  painter_.restore();
}

TextExtent PainterSurface::MeasureStyledText(std::string_view text, const TextStyle& style) {
  const QFontMetricsF metrics(fontFor(style), painter_.device());
  return {static_cast<std::int32_t>(std::ceil(metrics.horizontalAdvance(ToQString(text)) / scaleX_)),
          static_cast<std::int32_t>(std::ceil(metrics.height() / scaleY_))};
}

TextExtent PainterSurface::MeasureText(std::string_view text) {
  const QFontMetricsF metrics(font_, painter_.device());
  return {static_cast<std::int32_t>(std::lround(metrics.horizontalAdvance(ToQString(text)) / scaleX_)),
          static_cast<std::int32_t>(std::lround(metrics.height() / scaleY_))};
}

}  // namespace zentrel
