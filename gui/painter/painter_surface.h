#pragma once
// The Surface on a QPainter: device units become the paint device's pixels
// through one transform (logical DPI / 100, y flipped); text goes through
// the same mapping but is drawn upright in 12-point Times New Roman, or the
// closest serif face installed.

#include <QFont>
#include <QPainter>

#include "view/surface.h"

namespace zentrel {

class PainterSurface : public Surface {
 public:
  // Sets the painter's transform, font, brush and a black pen; the painter
  // must stay active while the surface is used.
  explicit PainterSurface(QPainter& painter);

  Colour SelectPen(Colour colour) override;
  Colour CurrentPen() const override { return pen_; }
  void DrawLine(DevicePoint from, DevicePoint to) override;
  void DrawSegments(std::span<const DeviceSegment> segments) override;
  void DrawRectangles(std::span<const DeviceRect> rects) override;
  void DrawEllipses(std::span<const DeviceRect> boxes) override;
  void DrawText(DevicePoint topLeft, std::string_view text) override;
  TextExtent MeasureText(std::string_view text) override;
  void DrawStyledText(DevicePoint topLeft, std::string_view text, const TextStyle& style) override;
  TextExtent MeasureStyledText(std::string_view text, const TextStyle& style) override;
  void SetLineWidth(double units) override;
  void SetAntialiasing(bool on) override;
  void DrawPolyline(std::span<const DevicePoint> points) override;

  // Pixels per device unit of the paint device.
  double scaleX() const { return scaleX_; }
  double scaleY() const { return scaleY_; }

 private:
  QPainter& painter_;
  QFont font_;
  double scaleX_ = 1.0;
  double scaleY_ = 1.0;
  Colour pen_ = kBlack;
  double lineWidth_ = 1.0;
  bool smooth_ = false;

  void applyPen();
  QFont fontFor(const TextStyle& style) const;
};

// The font of every text of the graph.
QFont GraphFont();

}  // namespace zentrel
