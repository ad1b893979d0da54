#include "view/interaction.h"

#include <algorithm>
#include <cmath>

#include "model/document.h"
#include "numeric/c_format.h"

namespace zentrel {

namespace {

// The angle constants are the program's own rounded values.
constexpr double kPi = 3.1415927;
constexpr double kTwoPi = 6.2831854;
constexpr double kHalfPi = 1.57079635;
constexpr double kThreeHalfPi = 4.71238905;
constexpr double kDegreesPerRadian = 57.29577866666166;

std::string Format(const char* label, double value) { return CFormat("%s%1.4g", label, value); }

}  // namespace

void SetSelectionFromDrag(CZentrelDoc& doc, const Viewport& viewport, std::int32_t x0, std::int32_t y0,
                          std::int32_t x1, std::int32_t y1) {
  doc.selectionX1 = viewport.DeviceToDataX(x0);
  doc.selectionX2 = (x1 < x0 - 2 || x1 > x0 + 2) ? viewport.DeviceToDataX(x1) : doc.selectionX1;
  doc.selectionY1 = viewport.DeviceToDataY(y0);
  doc.selectionY2 = (y1 < y0 - 2 || y1 > y0 + 2) ? viewport.DeviceToDataY(y1) : doc.selectionY1;
}

double PolarPaneAngle(double x, double y, bool radians, double origin) {
  double theta;
  if (x != 0.0) {
    theta = std::atan(y / x);
    if (x < 0.0)
      theta += kPi;
    else if (y < 0.0)
      theta += kTwoPi;
  } else {
    theta = y > 0.0 ? kHalfPi : kThreeHalfPi;
  }
  if (!radians) theta *= kDegreesPerRadian;
  theta -= origin;
  if (theta < 0.0) theta += radians ? kTwoPi : 360.0;
  return theta;
}

CursorPaneTexts CursorPanes(const CZentrelDoc& doc) {
  const double x = doc.cursorX, y = doc.cursorY;
  if (!doc.graph.polar) return {Format("X:", x), Format("Y:", y)};
  return {Format("R:", std::sqrt(x * x + y * y)),
          Format("Th:", PolarPaneAngle(x, y, doc.graph.radians != 0, doc.graph.polarOrigin))};
}

void ViewMouse::publish(CZentrelDoc& doc, const Viewport& viewport) const {
  doc.cursorX = viewport.DeviceToDataX(cursorPos_.x);
  doc.cursorY = viewport.DeviceToDataY(cursorPos_.y);
}

ViewMouse::Effect ViewMouse::leftDown(CZentrelDoc&, DevicePoint p) {
  dragAnchor_ = dragEnd_ = p;
  buttonState_ |= kLeftDrag;
  // The repaint erases an old outline; the settle after it resets the selection.
  return {.repaint = true};
}

ViewMouse::Effect ViewMouse::move(CZentrelDoc& doc, const Viewport& viewport, DevicePoint p) {
  Effect effect;
  if (buttonState_ == 0) {
    cursorPos_ = p;
  } else if (buttonState_ & kLeftDrag) {
    cursorPos_ = p;
    effect.rubberBand = true;
  }
  // A held right button alone freezes the cursor.
  publish(doc, viewport);
  return effect;
}

ViewMouse::Effect ViewMouse::leftUp(CZentrelDoc& doc, const Viewport& viewport, DevicePoint p) {
  const bool dragging = (buttonState_ & kLeftDrag) != 0;
  dragEnd_ = p;
  buttonState_ = 0;
  // A release without its press (the press went to another window) selects nothing.
  if (!dragging) return {};
  SetSelectionFromDrag(doc, viewport, std::min(dragAnchor_.x, dragEnd_.x), std::min(dragAnchor_.y, dragEnd_.y),
                       std::max(dragAnchor_.x, dragEnd_.x), std::max(dragAnchor_.y, dragEnd_.y));
  // No repaint: the outline stays until the next one.
  return {.rubberBand = true};
}

ViewMouse::Effect ViewMouse::rightDown() {
  buttonState_ |= kRightHeld;
  return {};
}

ViewMouse::Effect ViewMouse::rightUp() {
  buttonState_ = 0;
  return {.repaint = true};
}

}  // namespace zentrel
