#pragma once
// The graph window: paints the document through the QPainter surface and
// turns mouse input into the selection rectangle and the cursor position.
// The graph is drawn into an image only when it must be redrawn (every
// such redraw also resets the selection); Qt's own paint events just show
// that image and the rubber band.

#include <QImage>
#include <QWidget>
#include <functional>

#include "view/interaction.h"

namespace zentrel {

class CZentrelDoc;

class CZentrelView : public QWidget {
  Q_OBJECT
 public:
  explicit CZentrelView(CZentrelDoc& doc, QWidget* parent = nullptr);

  // Draws the whole graph again, at once.
  void redrawGraph();

  // Widget pixels to device units and back, with the scale of the last drawing.
  DevicePoint toDevice(QPoint pixel) const;
  QPoint toPixel(DevicePoint device) const;

  const ViewMouse& mouse() const { return mouse_; }
  bool rubberBandVisible() const { return bandVisible_; }
  const QImage& graphImage() const { return image_; }
  // The image is redrawn at most this often per paint (tests count them).
  int redrawCount() const { return redraws_; }

 signals:
  // The cursor position (and so the panes) may have changed.
  void cursorMoved();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void renderImage();
  void apply(const ViewMouse::Effect& effect);

  CZentrelDoc& doc_;
  ViewMouse mouse_;
  QImage image_;
  double scaleX_ = 1.0, scaleY_ = 1.0;
  bool bandVisible_ = false;
  int redraws_ = 0;
};

}  // namespace zentrel
