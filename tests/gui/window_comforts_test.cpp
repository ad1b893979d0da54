// The window's comforts driven as a person would: the Axis Ranges dialog,
// the wheel, panning, several Unzoom steps, dropping files, the caption's
// star, Copy Graph and the remembered window size.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>

#include "axis_ranges_dialog.h"
#include "gui_test_support.h"
#include "io/graph_file.h"
#include "util/atomic_file.h"

using namespace zentrel;
using namespace zentrel::testing;

namespace {

struct DataPoint {
  double x, y;
};

}  // namespace

class WindowComfortsTest : public QObject, public FrameFixture {
  Q_OBJECT

  CZentrelView* view() { return frame->view(); }

  DataPoint dataAt(QPoint pixel) {
    const DevicePoint device = view()->toDevice(pixel);
    return {view()->viewport()->DeviceToDataX(device.x), view()->viewport()->DeviceToDataY(device.y)};
  }
  // Where the drawing puts the data, in pixels, before any rounding.
  QPointF pixelOf(DataPoint data) {
    const Viewport& v = *view()->viewport();
    const auto fraction = [](double value, double lo, double hi, bool log) {
      return log ? std::log(value / lo) / std::log(hi / lo) : (value - lo) / (hi - lo);
    };
    const double deviceX = v.plotRect.left + (v.plotRect.right - v.plotRect.left) *
                                                 fraction(data.x, v.range.xMin, v.range.xMax, v.logX);
    const double deviceY = v.plotRect.bottom + (v.plotRect.top - v.plotRect.bottom) *
                                                   fraction(data.y, v.range.yMin, v.range.yMax, v.logY);
    // The view's pixels per device unit.
    const QPoint far = view()->toPixel({100000, -100000});
    return {deviceX * far.x() / 100000.0, deviceY * far.y() / -100000.0};
  }
  // A point well inside the plot, off its centre.
  QPoint insidePlot(double fx, double fy) {
    const DeviceRect plot = view()->viewport()->plotRect;
    const QPoint topLeft = view()->toPixel({plot.left, plot.top});
    const QPoint bottomRight = view()->toPixel({plot.right, plot.bottom});
    return {topLeft.x() + static_cast<int>(fx * (bottomRight.x() - topLeft.x())),
            topLeft.y() + static_cast<int>(fy * (bottomRight.y() - topLeft.y()))};
  }
  void wheel(QPoint at, int delta) {
    QWheelEvent event(at, view()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &event);
  }
  void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, at, view()->mapToGlobal(at), button, held, modifiers);
    QApplication::sendEvent(view(), &event);
  }
  void showRange(const DataRange& range) {
    doc().graph.ShowRange(range);
    doc().graph.zoomHistory.clear();
    frame->redrawGraph();
  }
  static bool near(QPointF a, QPoint b, double pixels = 1.0) {
    return std::fabs(a.x() - b.x()) <= pixels && std::fabs(a.y() - b.y()) <= pixels;
  }

 private slots:
  void init() { openFrame(); }
  void cleanup() { closeFrame(); }

  void axisRangesDialogSetsRangesAndLogAxes() {
    showRange({1, 0, 10, 10});
    WhenDialogOpens(QStringLiteral("Axis Ranges"), [](QWidget* dialog) {
      auto* ranges = qobject_cast<AxisRangesDialog*>(dialog);
      QVERIFY(ranges != nullptr);
      QCOMPARE(ranges->xMaxEdit()->text(), QStringLiteral("10"));
      ranges->xMinEdit()->setText(QStringLiteral("0.01"));
      ranges->xMaxEdit()->setText(QStringLiteral("1000"));
      ranges->yMinEdit()->setText(QStringLiteral("-2"));
      ranges->yMaxEdit()->setText(QStringLiteral("2"));
      ranges->logXBox()->setChecked(true);
      PressOk(dialog);
    });
    frame->action(Cmd::AxisRanges)->trigger();
    QCOMPARE(doc().graph.GetRange(), (DataRange{0.01, -2, 1000, 2}));
    QCOMPARE(doc().graph.logX, 1);
    QVERIFY(frame->action(Cmd::LogXAxis)->isChecked());
    // The drawing shows the new range: its left edge is 0.01.
    QVERIFY(std::fabs(view()->viewport()->DeviceToDataX(view()->viewport()->plotRect.left) - 0.01) < 1e-12);
    frame->runCommand(Cmd::Unzoom);
    QCOMPARE(doc().graph.GetRange(), (DataRange{1, 0, 10, 10}));
  }

  void axisRangesDialogRefusesAndStaysOpen() {
    showRange({0, 0, 10, 10});
    QString shown;
    bool focused = false;
    WhenDialogOpens(QStringLiteral("Axis Ranges"), [&](QWidget* dialog) {
      auto* ranges = qobject_cast<AxisRangesDialog*>(dialog);
      QVERIFY(ranges != nullptr);
      ranges->yMinEdit()->setText(QStringLiteral("0"));
      ranges->logYBox()->setChecked(true);
      QTimer::singleShot(0, [&, dialog, ranges] {
        QWidget* box = QApplication::activeModalWidget();
        if (box != dialog) shown = box->findChildren<QLabel*>().last()->text();
        box->close();
        QTimer::singleShot(0, [&, dialog, ranges] {
          focused = dialog->isVisible() && dialog->focusWidget() == ranges->yMinEdit() &&
                    ranges->yMinEdit()->selectedText() == QStringLiteral("0");
          qobject_cast<QDialog*>(dialog)->reject();
        });
      });
      PressOk(dialog);
    });
    frame->runCommand(Cmd::AxisRanges);
    QCOMPARE(shown, QStringLiteral("A logarithmic Y axis needs Ymin greater than 0."));
    QVERIFY(focused);
    QCOMPARE(doc().graph.GetRange(), (DataRange{0, 0, 10, 10}));
    QCOMPARE(doc().graph.logY, 0);
  }

  void wheelZoomKeepsThePointUnderTheCursor() {
    for (bool log : {false, true}) {
      doc().graph.logX = doc().graph.logY = log ? 1 : 0;
      showRange({1, 1, 100, 100});
      const QPoint at = insidePlot(0.3, 0.7);
      const DataPoint before = dataAt(at);
      wheel(at, 120);
      QVERIFY(doc().graph.xMax - doc().graph.xMin < 99);
      QVERIFY2(near(pixelOf(before), at), log ? "log axes" : "linear axes");
      wheel(at, -240);
      QVERIFY(doc().graph.xMax - doc().graph.xMin > 99);
      QVERIFY2(near(pixelOf(before), at), log ? "log axes" : "linear axes");
      // The cursor panes follow the data under the cursor.
      QVERIFY(std::fabs(doc().cursorX - before.x) < 0.02 * before.x);
    }
  }

  void middleButtonAndCtrlDragPan() {
    struct Way {
      Qt::MouseButton button;
      Qt::KeyboardModifiers modifiers;
    };
    for (const Way way : {Way{Qt::MiddleButton, Qt::NoModifier}, Way{Qt::LeftButton, Qt::ControlModifier}}) {
      showRange({0, 0, 10, 10});
      const QPoint from = insidePlot(0.4, 0.4);
      const QPoint to = insidePlot(0.6, 0.7);
      const DataPoint grabbed = dataAt(from);
      mouse(QEvent::MouseButtonPress, from, way.button, way.button, way.modifiers);
      QVERIFY(view()->panning());
      mouse(QEvent::MouseMove, insidePlot(0.5, 0.5), Qt::NoButton, way.button, way.modifiers);
      mouse(QEvent::MouseMove, to, Qt::NoButton, way.button, way.modifiers);
      // The data follows the cursor while the button is held (the drag's
      // ends are whole device units: within two pixels).
      QVERIFY(near(pixelOf(grabbed), to, 2.0));
      mouse(QEvent::MouseButtonRelease, to, way.button, Qt::NoButton, way.modifiers);
      QVERIFY(!view()->panning());
      QVERIFY(near(pixelOf(grabbed), to, 2.0));
      QVERIFY(doc().graph.xMin < 0 && doc().graph.yMin > 0);
      // No selection was dragged, and the pan is one step back.
      QVERIFY(!view()->rubberBandVisible());
      QCOMPARE(doc().graph.zoomHistory.size(), size_t{1});
      frame->runCommand(Cmd::Unzoom);
      QCOMPARE(doc().graph.GetRange(), (DataRange{0, 0, 10, 10}));
    }
  }

  void unzoomStepsBackThroughEveryZoom() {
    showRange({0, 0, 10, 10});
    std::vector<DataRange> seen{doc().graph.GetRange()};
    wheel(insidePlot(0.2, 0.2), 120);
    seen.push_back(doc().graph.GetRange());
    frame->runCommand(Cmd::Zoom);  // twofold about the cursor, as before
    seen.push_back(doc().graph.GetRange());
    wheel(insidePlot(0.8, 0.5), 240);
    for (int k = static_cast<int>(seen.size()) - 1; k >= 0; --k) {
      frame->runCommand(Cmd::Unzoom);
      QCOMPARE(doc().graph.GetRange(), seen[static_cast<size_t>(k)]);
    }
    // A new document has nothing to go back to.
    frame->runCommand(Cmd::New);
    QVERIFY(doc().graph.zoomHistory.empty());
  }

  void droppedGraphOpensAndDataImports() {
    QTemporaryDir dir;
    CZentrelDoc other;
    AddSet(other, "stored", {1, 2}, {3, 4});
    const std::vector<std::uint8_t> bytes = GraphFileBytes(other);
    const QString graph = dir.filePath(QStringLiteral("dropped.ztl"));
    QVERIFY(WriteFileAtomically(graph.toStdString(),
                                {reinterpret_cast<const char*>(bytes.data()), bytes.size()}).empty());
    const QString data = dir.filePath(QStringLiteral("counts.txt"));
    QVERIFY(WriteFileAtomically(data.toStdString(), "1 10\n2 20\n3 15\n").empty());

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(graph), QUrl::fromLocalFile(data)});
    const QPoint at = insidePlot(0.5, 0.5);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(frame.get(), &enter);
    QVERIFY(enter.isAccepted());
    WhenDialogOpens(QStringLiteral("Select a File type"), [](QWidget* dialog) {
      for (auto* button : dialog->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("ASCII")) button->click();
    });
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
    drop.ignore();
    QApplication::sendEvent(frame.get(), &drop);
    QVERIFY(drop.isAccepted());
    QTRY_COMPARE(doc().SetCount(), 2);
    QCOMPARE(doc().sets[0]->name, std::string("stored"));
    QCOMPARE(doc().sets[1]->name, std::string("counts.txt"));
    QCOMPARE(QString::fromStdString(doc().pathName), graph);
    QCOMPARE(frame->windowTitle(), QStringLiteral("dropped.ztl* - Zentrel"));

    // Anything but local files is not taken.
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.txt"))});
    QDragEnterEvent refused(at, Qt::CopyAction, &web, Qt::NoButton, Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(frame.get(), &refused);
    QVERIFY(!refused.isAccepted());
  }

  void captionStarsUnsavedChanges() {
    QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Zentrel"));
    addSet("moved", {1, 2}, {1, 2});
    frame->runCommand(Cmd::Translate);
    frame->runCommand(Cmd::Translate);
    QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled* - Zentrel"));
    doc().SetModifiedFlag(false);
    frame->runCommand(Cmd::New);
    QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Zentrel"));
  }

  void copyGraphPutsPngAndSvgOnTheClipboard() {
    addSet("drawn", {1, 2, 3}, {1, 4, 9});
    frame->runCommand(Cmd::Autoscale);
    QApplication::clipboard()->clear();
    QTest::keyClick(view(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    QVERIFY(mime != nullptr);
    QVERIFY(mime->hasFormat(QStringLiteral("image/png")));
    QVERIFY(mime->hasFormat(QStringLiteral("image/svg+xml")));
    const QImage png = QImage::fromData(mime->data(QStringLiteral("image/png")), "PNG");
    QCOMPARE(png.size(), QSize(1100, 850));
    // Drawn, not blank: the frame and the set are on it.
    int drawn = 0;
    for (int y = 0; y < png.height(); y += 2)
      for (int x = 0; x < png.width(); x += 2) drawn += png.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
    QVERIFY(drawn > 500);
    const QByteArray svg = mime->data(QStringLiteral("image/svg+xml"));
    QVERIFY(svg.contains("<svg"));
    QVERIFY(svg.contains("</svg>"));
  }

  void windowSizeIsRemembered() {
    frame->resize(640, 480);
    QVERIFY(frame->close());
    CMainFrame again;
    QCOMPARE(again.size(), QSize(640, 480));
    again.document().SetModifiedFlag(false);
  }
};

QTEST_MAIN(WindowComfortsTest)
#include "window_comforts_test.moc"
