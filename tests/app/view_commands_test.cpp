#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "fake_ui.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {
namespace {

using testing::FakeUi;

class ViewCommands : public ::testing::Test {
 protected:
  void AddSet(std::vector<double> x, std::vector<double> y) {
    auto set = std::make_unique<Data_Set>();
    for (size_t i = 0; i < x.size(); ++i) set->SetValue(0, static_cast<int>(i), x[i]);
    for (size_t i = 0; i < y.size(); ++i) set->SetValue(1, static_cast<int>(i), y[i]);
    doc.AppendSet(std::move(set));
  }
  void Run(Cmd id) { Dispatch(doc, ui, id); }
  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(ViewCommands, ZoomAboutTheCursorThenUnzoomBothWays) {
  // Showing 0..10 with no earlier zoom to walk back to.
  doc.graph.ShowRange({0, 0, 10, 10});
  doc.ClearSelection();
  doc.cursorX = 3;
  doc.cursorY = 4;
  Run(Cmd::Zoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{0.5, 1.5, 5.5, 6.5}));
  Run(Cmd::Unzoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{0, 0, 10, 10}));
  Run(Cmd::Unzoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{0.5, 1.5, 5.5, 6.5}));
}

TEST_F(ViewCommands, ZoomToASelectionAndAlongOneDirection) {
  doc.graph.SetRange(0, 0, 10, 10);
  doc.selectionX1 = 2, doc.selectionX2 = 4, doc.selectionY1 = 6, doc.selectionY2 = 3;
  Run(Cmd::Zoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{2, 3, 4, 6}));

  doc.graph.SetRange(0, 0, 10, 10);
  doc.selectionX1 = doc.selectionX2 = 5;  // a vertical drag
  doc.selectionY1 = 1, doc.selectionY2 = 9;
  Run(Cmd::Zoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{2.5, 0, 7.5, 10}));
}

TEST_F(ViewCommands, AutoscaleWritesItsStatus) {
  AddSet({2}, {3});
  Run(Cmd::Autoscale);
  EXPECT_EQ(doc.statusText, "Graph Autoscaled");
  EXPECT_DOUBLE_EQ(doc.graph.xMin, 1.95);
  EXPECT_EQ(ui.redraws, 1);
}

TEST_F(ViewCommands, ZeroLinesReportTheirNewState) {
  Run(Cmd::ShowZeroLines);
  EXPECT_EQ(doc.statusText, "Zero lines on");
  Run(Cmd::ShowZeroLines);
  EXPECT_EQ(doc.statusText, "Zero lines off");
}

TEST_F(ViewCommands, ResidualScaleStepsAndNeverDropsBelowOne) {
  Run(Cmd::ShrinkResidual);
  EXPECT_EQ(doc.graph.residualScale, 1.0);
  Run(Cmd::EnlargeResidual);
  Run(Cmd::EnlargeResidual);
  EXPECT_EQ(doc.graph.residualScale, 3.0);
  Run(Cmd::ShrinkResidual);
  EXPECT_EQ(doc.graph.residualScale, 2.0);
  const int redraws = ui.redraws;
  Run(Cmd::DrawResiduals);  // no visible fit: switch changes, no redraw
  EXPECT_EQ(doc.graph.showResiduals, 1);
  EXPECT_EQ(doc.graph.residualScale, 1.0);
  EXPECT_EQ(ui.redraws, redraws);
  AddSet({1, 2}, {1, 2});
  doc.sets[0]->fits.push_back(std::make_unique<Fit>());
  Run(Cmd::DrawResiduals);
  EXPECT_EQ(ui.redraws, redraws + 1);
}

TEST_F(ViewCommands, LogXAutoscalesWhenTheRangeStartsAtOrBelowZero) {
  AddSet({-1, 0, 0.5, 4}, {1, 2, 3, 4});
  Run(Cmd::Autoscale);
  Run(Cmd::LogXAxis);
  EXPECT_DOUBLE_EQ(doc.graph.xMin, 0.5);
  EXPECT_DOUBLE_EQ(doc.graph.xMax, 4.0);
}

TEST_F(ViewCommands, AbbreviationsToggleWithoutRedraw) {
  Run(Cmd::UseAxisAbbreviations);
  EXPECT_EQ(doc.useAbbreviations, 0);
  EXPECT_EQ(ui.redraws, 0);
  Run(Cmd::ShowPointMarkers);
  EXPECT_EQ(doc.graph.showMarkers, 1);
  EXPECT_EQ(ui.redraws, 1);
}

}  // namespace
}  // namespace zentrel
