#pragma once
// The graph window: paints the document through the QPainter surface and
// turns mouse input into the selection rectangle and the cursor position.
// The graph is drawn into an image only when it must be redrawn or the
// size changed; Qt's own paint events just show that image and the rubber
// band. Drawing only reads the document: the window keeps the viewport of
// its last drawing for the mouse, and a redraw the mouse asks for settles
// the document (CZentrelDoc::SettleAfterRedraw) as a command's does.
// The wheel zooms about the cursor; the middle button, or the left one
// with Ctrl, drags the graph along (one step of the zoom history per drag).

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "view/interaction.h"
#include "view/viewport.h"

namespace zentrel {

class CZentrelDoc;

class CZentrelView : public QWidget {
  Q_OBJECT
 public:
  explicit CZentrelView(CZentrelDoc& doc, QWidget* parent = nullptr);

  // Draws the whole graph again, at once.
  void redrawGraph();
  // Where the last drawing put the graph; nothing before the first one.
  const std::optional<Viewport>& viewport() const { return viewport_; }
  std::optional<PageLayout> drawingLayout() const;

  // Widget pixels to device units and back, with the scale of the last drawing.
  DevicePoint toDevice(QPoint pixel) const;
  QPoint toPixel(DevicePoint device) const;

  const ViewMouse& mouse() const { return mouse_; }
  bool rubberBandVisible() const { return bandVisible_; }
  const QImage& graphImage() const { return image_; }
  bool panning() const { return pan_.has_value(); }
  // The paper style's legend as last drawn, in device units; the person
  // moves it by dragging it with the left button.
  const std::optional<DeviceRect>& legendBox() const { return legend_; }
  // The image is redrawn at most this often per paint (tests count them).
  int redrawCount() const { return redraws_; }
  // What the last drawing has to say in the status text (values a
  // logarithmic axis cannot show); empty when nothing.
  const std::string& drawingNote() const { return note_; }

 signals:
  // The cursor position (and so the panes) may have changed.
  void cursorMoved();
  // The wheel or a pan changed the visible range.
  void rangeChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void renderImage();
  void apply(const ViewMouse::Effect& effect);

  const Viewport& mapping() const;
  // Redraws the graph's new range at once and publishes the cursor at `pixel` in it.
  void showRangeAt(QPoint pixel);
  void panTo(QPoint pixel);
  void endPan(QPoint pixel);
  void dragLegendTo(QPoint pixel);

  // A pan under way: where it started, on the drawing it started from.
  struct Pan {
    Viewport startViewport;
    DataRange startRange;
    DevicePoint start;
    Qt::MouseButton button;  // its release ends the pan
  };

  // A legend being dragged: where the drag and the box started.
  struct LegendDrag {
    DevicePoint start;
    DeviceRect box;
    DeviceRect plot;
  };

  CZentrelDoc& doc_;
  ViewMouse mouse_;
  std::optional<Viewport> viewport_;
  QImage image_;
  double scaleX_ = 1.0, scaleY_ = 1.0;
  bool bandVisible_ = false;
  std::optional<Pan> pan_;
  std::optional<DeviceRect> legend_;
  std::optional<LegendDrag> legendDrag_;
  int redraws_ = 0;
  std::string note_;
};

}  // namespace zentrel
