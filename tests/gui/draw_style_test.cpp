// The window's Paper Style and Legend check items: they redraw in the
// chosen style, are remembered in the settings for the next window, and
// leave the document unmodified.

#include <QAction>
#include <QSettings>
#include <QtTest>
#include <cstdlib>

#include "gui_test_support.h"
#include "view/paper_graph.h"

using namespace zentrel;
using namespace zentrel::testing;

namespace {

QAction* Action(QWidget* frame, const QString& text) {
  for (QAction* action : frame->findChildren<QAction*>())
    if (action->text().remove('&') == text) return action;
  return nullptr;
}

QSettings Settings() { return QSettings(QStringLiteral("Zentrel"), QStringLiteral("Zentrel")); }

}  // namespace

class DrawStyleTest : public QObject, private FrameFixture {
  Q_OBJECT

 private slots:
  void init() {
    QStandardPaths::setTestModeEnabled(true);
    Settings().clear();
    openFrame();
  }
  void cleanup() {
    closeFrame();
    Settings().clear();
  }

  void checkItemsSwitchTheStyleAndAreRemembered() {
    QAction* paper = Action(frame.get(), QStringLiteral("Paper Style"));
    QAction* legend = Action(frame.get(), QStringLiteral("Legend"));
    QVERIFY(paper != nullptr && legend != nullptr);
    QVERIFY(paper->isCheckable() && legend->isCheckable());
    QVERIFY(!paper->isChecked());
    QVERIFY(legend->isChecked());
    QCOMPARE(doc().drawPreferences.style, DrawStyle::Classic);

    addSet("a", {1, 2, 3}, {1, 4, 9});
    doc().graph.SetRange(0, 0, 4, 10);
    const int drawn = frame->view()->redrawCount();
    paper->trigger();
    QCOMPARE(doc().drawPreferences.style, DrawStyle::Paper);
    QVERIFY(paper->isChecked());
    QVERIFY(frame->view()->redrawCount() > drawn);
    QVERIFY(!doc().IsModified());
    QVERIFY(!frame->windowTitle().contains('*'));
    legend->trigger();
    QVERIFY(!legend->isChecked());
    QCOMPARE(Settings().value(QStringLiteral("Settings/PaperStyle")).toBool(), true);
    QCOMPARE(Settings().value(QStringLiteral("Settings/Legend")).toBool(), false);

    // The next window starts as this one was left.
    closeFrame();
    openFrame();
    QCOMPARE(doc().drawPreferences.style, DrawStyle::Paper);
    QVERIFY(!doc().drawPreferences.showLegend);
    QVERIFY(Action(frame.get(), QStringLiteral("Paper Style"))->isChecked());
    QVERIFY(!Action(frame.get(), QStringLiteral("Legend"))->isChecked());
  }

  // Dragging the legend moves it by the mouse's way, and it stays there
  // when the graph is drawn again; the document is not modified.
  void theLegendMovesWhereItIsDragged() {
    addSet("a", {1, 2, 3}, {1, 4, 9});
    doc().graph.SetRange(0, 0, 4, 10);
    doc().SetModifiedFlag(false);
    Action(frame.get(), QStringLiteral("Paper Style"))->trigger();
    CZentrelView* view = frame->view();
    QVERIFY(view->legendBox().has_value());
    const DeviceRect before = *view->legendBox();
    const QPoint grab = view->toPixel({(before.left + before.right) / 2, (before.top + before.bottom) / 2});
    const QPoint drop = grab + QPoint(-200, 120);
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, grab);
    QTest::mouseMove(view, grab + QPoint(-100, 60));
    QTest::mouseMove(view, drop);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, drop);
    QVERIFY(doc().drawPreferences.legendAt.has_value());
    QVERIFY(view->legendBox().has_value());
    const DeviceRect after = *view->legendBox();
    const DevicePoint moved = view->toDevice(drop), from = view->toDevice(grab);
    QVERIFY(std::abs((after.left - before.left) - (moved.x - from.x)) <= 2);
    QVERIFY(std::abs((after.top - before.top) - (moved.y - from.y)) <= 2);
    QVERIFY(!doc().IsModified());
    // No box was drawn and nothing was selected by the drag.
    QVERIFY(!view->rubberBandVisible());
    view->redrawGraph();
    QCOMPARE(view->legendBox()->left, after.left);
    QCOMPARE(view->legendBox()->top, after.top);
  }

  void valuesALogAxisLeavesOutAreReportedOnce() {
    addSet("a", {-1, 1, 10, 100}, {1, 2, 3, 4});
    doc().graph.logX = 1;
    doc().graph.SetRange(1, 0, 100, 5);
    Action(frame.get(), QStringLiteral("Paper Style"))->trigger();
    QCOMPARE(doc().statusText, std::string(kNonPositiveNote));
    // Said once: another command's status is not overwritten by the next redraw.
    frame->runCommand(Cmd::ShowZeroLines);
    QCOMPARE(doc().statusText, std::string("Zero lines on"));
  }
};

QTEST_MAIN(DrawStyleTest)
#include "draw_style_test.moc"
