#pragma once
// What the mouse does to the document, apart from any widget: the drag
// that becomes the selection rectangle, the frozen cursor of the right
// button, and the cursor panes of the status bar.

#include <cstdint>
#include <string>

#include "model/graph.h"
#include "view/viewport.h"

namespace zentrel {

class CZentrelDoc;

// Device rectangle with x0 <= x1 and y0 <= y1, in the viewport the window
// drew last. A side no longer than 2 units is no extent: that pair of the
// selection becomes equal.
void SetSelectionFromDrag(CZentrelDoc& doc, const Viewport& viewport, std::int32_t x0, std::int32_t y0,
                          std::int32_t x1, std::int32_t y1);

// The polar angle of the data point (x, y) in [0, 360) degrees or [0, 2 pi)
// radians, measured from the rotated origin (in the same unit).
double PolarPaneAngle(double x, double y, bool radians, double origin);

// Texts of the two cursor panes: "X:"/"Y:" or, in polar mode, "R:"/"Th:".
struct CursorPaneTexts {
  std::string first;   // pane 101
  std::string second;  // pane 102
};
CursorPaneTexts CursorPanes(const CZentrelDoc& doc);

// The view's mouse state. Positions are device units; every event that
// records a cursor position publishes it to the document in data units
// through the viewport the window drew last.
class ViewMouse {
 public:
  static constexpr int kLeftDrag = 2;
  static constexpr int kRightHeld = 1;

  // What the view must do after an event.
  struct Effect {
    bool repaint = false;     // the whole view, at once, settling the document
    bool rubberBand = false;  // draw the outline dragAnchor() .. cursorPos()
  };

  Effect leftDown(CZentrelDoc& doc, DevicePoint p);
  Effect move(CZentrelDoc& doc, const Viewport& viewport, DevicePoint p);
  Effect leftUp(CZentrelDoc& doc, const Viewport& viewport, DevicePoint p);
  Effect rightDown();
  Effect rightUp();

  int buttonState() const { return buttonState_; }
  DevicePoint dragAnchor() const { return dragAnchor_; }
  DevicePoint dragEnd() const { return dragEnd_; }
  DevicePoint cursorPos() const { return cursorPos_; }

 private:
  void publish(CZentrelDoc& doc, const Viewport& viewport) const;

  int buttonState_ = 0;
  DevicePoint dragAnchor_;
  DevicePoint dragEnd_;
  DevicePoint cursorPos_;
};

}  // namespace zentrel
