// The graph window draws without touching the document: resizing and
// exposing it keep the document, selection included, while a redraw the
// program asks for settles it. A saved file records the window's layout.

#include <QResizeEvent>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/commands/file_commands.h"
#include "app/document_json.h"
#include "gui_test_support.h"
#include "model/fit.h"
#include "io/graph_file.h"
#include "view/viewport.h"

using namespace zentrel;
using namespace zentrel::testing;

namespace {

constexpr int kShowPointMarkersCommand = 32781;  // toggles a switch and redraws

std::string Dump(const CZentrelDoc& doc) { return DocumentToJson(doc).dump(); }

}  // namespace

class ViewDrawingTest : public QObject, private FrameFixture {
  Q_OBJECT

 private:
  // A document a drawing could disturb: a selection, a fit, logarithmic
  // ranges holding values <= 0, and a set with points there.
  void fillDocument() {
    Data_Set& set = addSet("a", {-1, 0.5, 2, 5}, {0, 3, -2, 7});
    set.fits.push_back(std::make_unique<Fit>());
    doc().graph.logX = doc().graph.logY = 1;
    doc().graph.SetRange(-1, -2, 5, 0);
    doc().graph.title = "Title";
    doc().selectionX1 = 0.5;
    doc().selectionX2 = 2;
    doc().selectionY1 = 1;
    doc().selectionY2 = 3;
  }

 private slots:
  void init() { openFrame(); }
  void cleanup() { closeFrame(); }

  void resizingAndExposingLeaveTheDocumentAlone() {
    fillDocument();
    const std::string before = Dump(doc());
    CZentrelView* view = frame->view();
    const int drawn = view->redrawCount();
    frame->resize(640, 480);
    QTRY_VERIFY(view->graphImage().size() == view->size());
    frame->resize(900, 700);
    QTRY_VERIFY(view->graphImage().size() == view->size());
    view->repaint();  // an expose: shows the image, draws nothing new
    frame->hide();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    QVERIFY(view->redrawCount() >= drawn + 2);  // the resizes did draw
    QCOMPARE(Dump(doc()), before);
    QVERIFY(doc().HasSelection());
    // The window's own mapping follows its size, with the range as drawn.
    QVERIFY(view->viewport().has_value());
    QCOMPARE(view->viewport()->range.xMin, 1e-10);
    QCOMPARE(doc().graph.xMin, -1.0);
  }

  void aRedrawTheProgramAsksForSettlesTheDocument() {
    fillDocument();
    frame->redrawGraph();
    QVERIFY(!doc().HasSelection());
    QCOMPARE(doc().graph.GetRange(), (DataRange{1e-10, 1e-10, 5, 1}));
    QCOMPARE(doc().selectionX1, (1e-10 + 5) / 2);

    // A command's redraw settles it too (Dispatch does, not the window).
    doc().graph.SetRange(-1, -2, 5, 0);
    doc().selectionX1 = 0.5;
    doc().selectionX2 = 2;
    frame->runCommand(kShowPointMarkersCommand);
    QVERIFY(!doc().HasSelection());
    QCOMPARE(doc().graph.GetRange(), (DataRange{1e-10, 1e-10, 5, 1}));
  }

  void aSavedFileRecordsTheWindowsLayout() {
    addSet("a", {0, 1}, {0, 1});
    frame->resize(700, 500);
    QTRY_VERIFY(frame->view()->graphImage().size() == frame->view()->size());
    const auto layout = frame->view()->drawingLayout();
    QVERIFY(layout.has_value());
    QCOMPARE(frame->ui().drawingLayout(), layout);
    const std::string path = (std::filesystem::temp_directory_path() / "zentrel_view_layout.ztl").string();
    QVERIFY(SaveDocumentTo(doc(), frame->ui(), path));
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(path);
    QVERIFY(bytes == GraphFileBytes(doc(), *layout));
    QVERIFY(bytes != GraphFileBytes(doc()));
  }
};

QTEST_MAIN(ViewDrawingTest)
#include "view_drawing_test.moc"
