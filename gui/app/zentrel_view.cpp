#include "zentrel_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QWheelEvent>
#include <cmath>

#include "model/document.h"
#include "painter_surface.h"
#include "view/paint_graph.h"
#include "view/paper_legend.h"
#include "view/zoom_pan.h"

namespace zentrel {

CZentrelView::CZentrelView(CZentrelDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(200, 150);
  setCursor(Qt::CrossCursor);
}

void CZentrelView::redrawGraph() {
  renderImage();
  if (isVisible()) repaint();
}

void CZentrelView::renderImage() {
  ++redraws_;
  const QSize pixels = size().expandedTo(QSize(1, 1));
  image_ = QImage(pixels, QImage::Format_RGB32);
  // The image gets the screen's resolution so device units keep their size.
  image_.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
  image_.setDotsPerMeterY(static_cast<int>(std::lround(logicalDpiY() / 0.0254)));
  image_.fill(Qt::white);
  {
    QPainter painter(&image_);
    PainterSurface surface(painter);
    scaleX_ = surface.scaleX();
    scaleY_ = surface.scaleY();
    const auto width = static_cast<std::int32_t>(pixels.width() / scaleX_);
    const auto height = static_cast<std::int32_t>(pixels.height() / scaleY_);
    PaintedPage painted = PaintPage(surface, doc_, WindowPageRect(width, height), OptionsFor(doc_.drawPreferences));
    viewport_ = painted.viewport;
    note_ = std::move(painted.note);
    legend_ = painted.legend;
  }
  bandVisible_ = false;
}

std::optional<PageLayout> CZentrelView::drawingLayout() const {
  if (!viewport_) return std::nullopt;
  return viewport_->layout();
}

const Viewport& CZentrelView::mapping() const {
  // Before the first drawing nothing is on screen: an empty viewport maps
  // every position to 0, as an empty plot rectangle always did.
  static const Viewport kNothingDrawn{};
  return viewport_ ? *viewport_ : kNothingDrawn;
}

DevicePoint CZentrelView::toDevice(QPoint pixel) const {
  return {static_cast<std::int32_t>(std::lround(pixel.x() / scaleX_)),
          static_cast<std::int32_t>(std::lround(-pixel.y() / scaleY_))};
}

QPoint CZentrelView::toPixel(DevicePoint device) const {
  return {static_cast<int>(std::lround(device.x * scaleX_)), static_cast<int>(std::lround(-device.y * scaleY_))};
}

void CZentrelView::paintEvent(QPaintEvent*) {
  if (image_.isNull() || image_.size() != size()) renderImage();
  QPainter painter(this);
  painter.drawImage(0, 0, image_);
  if (!bandVisible_) return;
  // The outline inverts what lies beneath it, so it shows on any colour.
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(QPen(Qt::white, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(toPixel(mouse_.dragAnchor()), toPixel(mouse_.cursorPos())).normalized());
}

void CZentrelView::resizeEvent(QResizeEvent*) { renderImage(); }

void CZentrelView::apply(const ViewMouse::Effect& effect) {
  if (effect.repaint) {
    redrawGraph();
    doc_.SettleAfterRedraw();
  }
  if (effect.rubberBand) {
    bandVisible_ = true;
    update();
  }
  emit cursorMoved();
}

void CZentrelView::showRangeAt(QPoint pixel) {
  redrawGraph();
  doc_.SettleAfterRedraw();
  // The cursor panes show the data now under the cursor.
  apply(mouse_.move(doc_, mapping(), toDevice(pixel)));
}

void CZentrelView::mousePressEvent(QMouseEvent* event) {
  const QPoint pixel = event->position().toPoint();
  const bool panButton = event->button() == Qt::MiddleButton ||
                         (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier));
  if (panButton && !pan_ && mouse_.buttonState() == 0 && viewport_) {
    pan_ = Pan{*viewport_, doc_.graph.GetRange(), toDevice(pixel), event->button()};
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  if (pan_ || legendDrag_) return;  // other buttons wait until the drag ends
  const DevicePoint device = toDevice(pixel);
  if (event->button() == Qt::LeftButton && legend_ && viewport_ && mouse_.buttonState() == 0 &&
      legend_->left <= device.x && device.x <= legend_->right && legend_->bottom <= device.y &&
      device.y <= legend_->top) {
    legendDrag_ = LegendDrag{device, *legend_, viewport_->plotRect};
    setCursor(Qt::SizeAllCursor);
    return;
  }
  if (event->button() == Qt::LeftButton)
    apply(mouse_.leftDown(doc_, toDevice(pixel)));
  else if (event->button() == Qt::RightButton)
    apply(mouse_.rightDown());
}

void CZentrelView::mouseMoveEvent(QMouseEvent* event) {
  if (pan_) {
    panTo(event->position().toPoint());
    return;
  }
  if (legendDrag_) {
    dragLegendTo(event->position().toPoint());
    return;
  }
  apply(mouse_.move(doc_, mapping(), toDevice(event->position().toPoint())));
}

void CZentrelView::mouseReleaseEvent(QMouseEvent* event) {
  if (pan_) {
    if (event->button() == pan_->button) endPan(event->position().toPoint());
    return;
  }
  if (legendDrag_) {
    if (event->button() == Qt::LeftButton) {
      dragLegendTo(event->position().toPoint());
      legendDrag_.reset();
      setCursor(Qt::CrossCursor);
    }
    return;
  }
  if (event->button() == Qt::LeftButton)
    apply(mouse_.leftUp(doc_, mapping(), toDevice(event->position().toPoint())));
  else if (event->button() == Qt::RightButton)
    apply(mouse_.rightUp());
}

void CZentrelView::panTo(QPoint pixel) {
  // Always from the start: rounding does not add up over many moves.
  const auto range = PannedBy(pan_->startViewport, pan_->start, toDevice(pixel));
  if (!range || *range == doc_.graph.GetRange()) return;
  doc_.graph.ShowRange(*range);
  showRangeAt(pixel);
}

// Always from where the drag started, as a pan; the place is kept as a
// fraction of the plot, so it survives resizing. It is a drawing setting:
// the document is not modified.
void CZentrelView::dragLegendTo(QPoint pixel) {
  const DevicePoint now = toDevice(pixel);
  // A click without a move leaves the legend to find its own corner.
  if (now.x == legendDrag_->start.x && now.y == legendDrag_->start.y && !doc_.drawPreferences.legendAt) return;
  const DevicePoint topLeft{legendDrag_->box.left + (now.x - legendDrag_->start.x),
                            legendDrag_->box.top + (now.y - legendDrag_->start.y)};
  const LegendPlace place = LegendPlaceOf(legendDrag_->plot, topLeft);
  if (doc_.drawPreferences.legendAt == place) return;
  doc_.drawPreferences.legendAt = place;
  redrawGraph();
}

void CZentrelView::endPan(QPoint pixel) {
  panTo(pixel);
  const Pan pan = *pan_;
  pan_.reset();
  setCursor(Qt::CrossCursor);
  const DataRange end = doc_.graph.GetRange();
  if (end == pan.startRange) return;
  // The whole drag is one range change: Unzoom goes back to where it started.
  doc_.graph.ShowRange(pan.startRange);
  doc_.graph.SetRange(end);
  emit rangeChanged();
}

void CZentrelView::wheelEvent(QWheelEvent* event) {
  // 120 is one notch of a wheel; touch pads send parts of one.
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0.0 || pan_ || !viewport_) {
    event->ignore();
    return;
  }
  event->accept();
  const QPointF at = event->position();
  // Away from the person (positive) zooms in.
  const double factor = std::pow(kWheelZoomStep, notches);
  const auto range = ZoomedAbout(*viewport_, at.x() / scaleX_, -at.y() / scaleY_, factor);
  if (!range) return;  // as far as the numbers go
  doc_.graph.SetRange(*range);
  showRangeAt(at.toPoint());
  emit rangeChanged();
}

}  // namespace zentrel
