#pragma once
// Where the graph is drawn: screen, printer, image file or a recording in
// tests. Everything is in device units (hundredths of an inch, y up); the
// implementation owns the conversion to its own pixels, the 12-point serif
// font, the white fill and the black text.

#include <cstdint>
#include <span>
#include <string_view>

#include "model/graph.h"

namespace zentrel {

// 0x00BBGGRR, red in the low byte, as stored with the sets and fits.
using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
  return static_cast<Colour>(red & 0xFF) | static_cast<Colour>(green & 0xFF) << 8 |
         static_cast<Colour>(blue & 0xFF) << 16;
}
constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Colour c) { return static_cast<int>(c >> 8 & 0xFF); }
constexpr int BlueOf(Colour c) { return static_cast<int>(c >> 16 & 0xFF); }

inline constexpr Colour kBlack = MakeColour(0, 0, 0);
inline constexpr Colour kPureRed = MakeColour(255, 0, 0);
inline constexpr Colour kPolarGridGrey = MakeColour(200, 200, 200);

struct DeviceSegment {
  DevicePoint from;
  DevicePoint to;
  friend bool operator==(const DeviceSegment&, const DeviceSegment&) = default;
};

struct TextExtent {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Text other than the default 12-point label: its size, whether it reads
// upward (turned a quarter left) and whether it paints a white cell first.
struct TextStyle {
  double points = 12.0;
  bool upward = false;
  bool opaque = true;
};

inline constexpr double kUnitsPerPoint = 100.0 / 72.0;

class Surface {
 public:
  virtual ~Surface() = default;

  // Selects a solid pen of width 1 in this colour; returns the previous one.
  virtual Colour SelectPen(Colour colour) = 0;
  virtual Colour CurrentPen() const = 0;

  // Lines in the current pen. A batch is one call to the back end.
  virtual void DrawLine(DevicePoint from, DevicePoint to) = 0;
  virtual void DrawSegments(std::span<const DeviceSegment> segments) = 0;
  // Outlined in the current pen, filled white. A rectangle's corners are
  // (left, top) and (right, bottom); an ellipse fills its bounding box.
  virtual void DrawRectangles(std::span<const DeviceRect> rects) = 0;
  virtual void DrawEllipses(std::span<const DeviceRect> boxes) = 0;
  // Black UTF-8 text on an opaque white cell, top-left corner at the point.
  virtual void DrawText(DevicePoint topLeft, std::string_view text) = 0;
  virtual TextExtent MeasureText(std::string_view text) = 0;

  // Styled text. topLeft is the corner of the box the text covers as drawn:
  // for upward text a box MeasureStyledText's height wide and its width
  // tall. The extent is always along the reading direction. Surfaces
  // without styles draw and measure it as plain text.
  virtual void DrawStyledText(DevicePoint topLeft, std::string_view text, const TextStyle&) {
    DrawText(topLeft, text);
  }
  virtual TextExtent MeasureStyledText(std::string_view text, const TextStyle&) { return MeasureText(text); }
  // Pen width for later lines, in device units (1 is the classic pen), and
  // smoothing of lines' edges. Both stay until changed; surfaces that
  // cannot vary them ignore the call.
  virtual void SetLineWidth(double /*units*/) {}
  virtual void SetAntialiasing(bool /*on*/) {}
  // An open line through the points, joined at the corners.
  virtual void DrawPolyline(std::span<const DevicePoint> points);

  void DrawRectangle(const DeviceRect& rect) { DrawRectangles({&rect, 1}); }
};

inline void Surface::DrawPolyline(std::span<const DevicePoint> points) {
  for (size_t k = 1; k < points.size(); ++k) DrawLine(points[k - 1], points[k]);
}

// Selects a pen for the lifetime of the scope and restores the previous one.
class PenScope {
 public:
  PenScope(Surface& surface, Colour colour) : surface_(surface), previous_(surface.SelectPen(colour)) {}
  ~PenScope() { surface_.SelectPen(previous_); }
  PenScope(const PenScope&) = delete;
  PenScope& operator=(const PenScope&) = delete;

 private:
  Surface& surface_;
  Colour previous_;
};

}  // namespace zentrel
