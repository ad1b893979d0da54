#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "fake_ui.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {
namespace {

using testing::FakeUi;

enum Id {
  kAutoscale = 32777, kZoom = 32778, kUnzoom = 32809, kZeroLines = 32796, kResiduals = 32791,
  kShrink = 32794, kEnlarge = 32793, kLogX = 32775, kAbbreviations = 32871, kMarkers = 32781,
};

class ViewCommands : public ::testing::Test {
 protected:
  void AddSet(std::vector<double> x, std::vector<double> y) {
    auto set = std::make_unique<Data_Set>();
    for (size_t i = 0; i < x.size(); ++i) set->SetValue(0, static_cast<int>(i), x[i]);
    for (size_t i = 0; i < y.size(); ++i) set->SetValue(1, static_cast<int>(i), y[i]);
    doc.AppendSet(std::move(set));
  }
  void Run(int id) { Dispatch(doc, ui, id); }
  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(ViewCommands, ZoomAboutTheCursorThenUnzoomBothWays) {
  doc.graph.SetRange(0, 0, 10, 10);
  doc.ClearSelection();
  doc.cursorX = 3;
  doc.cursorY = 4;
  Run(kZoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{0.5, 1.5, 5.5, 6.5}));
  Run(kUnzoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{0, 0, 10, 10}));
  Run(kUnzoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{0.5, 1.5, 5.5, 6.5}));
}

TEST_F(ViewCommands, ZoomToASelectionAndAlongOneDirection) {
  doc.graph.SetRange(0, 0, 10, 10);
  doc.selectionX1 = 2, doc.selectionX2 = 4, doc.selectionY1 = 6, doc.selectionY2 = 3;
  Run(kZoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{2, 3, 4, 6}));

  doc.graph.SetRange(0, 0, 10, 10);
  doc.selectionX1 = doc.selectionX2 = 5;  // a vertical drag
  doc.selectionY1 = 1, doc.selectionY2 = 9;
  Run(kZoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{2.5, 0, 7.5, 10}));
}

TEST_F(ViewCommands, AutoscaleWritesItsStatus) {
  AddSet({2}, {3});
  Run(kAutoscale);
  EXPECT_EQ(doc.statusText, "Graph Autoscaled");
  EXPECT_DOUBLE_EQ(doc.graph.xMin, 1.95);
  EXPECT_EQ(ui.redraws, 1);
}

TEST_F(ViewCommands, ZeroLinesReportTheirNewState) {
  Run(kZeroLines);
  EXPECT_EQ(doc.statusText, "Zero lines on");
  Run(kZeroLines);
  EXPECT_EQ(doc.statusText, "Zero lines off");
}

TEST_F(ViewCommands, ResidualScaleStepsAndNeverDropsBelowOne) {
  Run(kShrink);
  EXPECT_EQ(doc.graph.residualScale, 1.0);
  Run(kEnlarge);
  Run(kEnlarge);
  EXPECT_EQ(doc.graph.residualScale, 3.0);
  Run(kShrink);
  EXPECT_EQ(doc.graph.residualScale, 2.0);
  const int redraws = ui.redraws;
  Run(kResiduals);  // no visible fit: switch changes, no redraw
  EXPECT_EQ(doc.graph.showResiduals, 1);
  EXPECT_EQ(doc.graph.residualScale, 1.0);
  EXPECT_EQ(ui.redraws, redraws);
  AddSet({1, 2}, {1, 2});
  doc.sets[0]->fits.push_back(std::make_unique<Fit>());
  Run(kResiduals);
  EXPECT_EQ(ui.redraws, redraws + 1);
}

TEST_F(ViewCommands, LogXAutoscalesWhenTheRangeStartsAtOrBelowZero) {
  AddSet({-1, 0, 0.5, 4}, {1, 2, 3, 4});
  Run(kAutoscale);
  Run(kLogX);
  EXPECT_DOUBLE_EQ(doc.graph.xMin, 0.5);
  EXPECT_DOUBLE_EQ(doc.graph.xMax, 4.0);
}

TEST_F(ViewCommands, AbbreviationsToggleWithoutRedraw) {
  Run(kAbbreviations);
  EXPECT_EQ(doc.useAbbreviations, 0);
  EXPECT_EQ(ui.redraws, 0);
  Run(kMarkers);
  EXPECT_EQ(doc.graph.showMarkers, 1);
  EXPECT_EQ(ui.redraws, 1);
}

}  // namespace
}  // namespace zentrel
