#include "model/graph.h"

#include <gtest/gtest.h>

namespace zentrel {
namespace {

TEST(Graph, SetRangeRemembersThePreviousRange) {
  Graph g;
  g.SetRange(-1, -2, 3, 4);
  EXPECT_EQ(g.GetRange(), (DataRange{-1, -2, 3, 4}));
  EXPECT_EQ(g.prevXMin, 0.0);
  EXPECT_EQ(g.prevXMax, 1.0);
  EXPECT_EQ(g.prevYMin, 0.0);
  EXPECT_EQ(g.prevYMax, 1.0);
}

TEST(Graph, SwapRangesTwiceIsANoOp) {
  Graph g;
  g.SetRange(0, 0, 10, 10);
  g.SetRange(0.5, 1.5, 5.5, 6.5);
  g.SwapRanges();
  EXPECT_EQ(g.GetRange(), (DataRange{0, 0, 10, 10}));
  g.SwapRanges();
  EXPECT_EQ(g.GetRange(), (DataRange{0.5, 1.5, 5.5, 6.5}));
}

TEST(Graph, ResetKeepsFitDisplaySwitches) {
  Graph g;
  g.SetRange(5, 5, 6, 6);
  g.title = "T";
  g.xLabel = "X";
  g.yLabel = "Y";
  g.showMarkers = g.showXErrorBars = g.showYErrorBars = g.logX = g.logY = g.polar = g.radians = 1;
  g.polarOrigin = 90;
  g.showFitEquations = g.showResiduals = g.showZeroLines = 1;
  g.residualScale = 3;
  g.ResetGraph();
  EXPECT_EQ(g.GetRange(), (DataRange{0, 0, 1, 1}));
  EXPECT_EQ(g.prevXMin, 5.0);  // reset goes through SetRange
  EXPECT_TRUE(g.title.empty() && g.xLabel.empty() && g.yLabel.empty());
  EXPECT_EQ(g.showMarkers + g.showXErrorBars + g.showYErrorBars + g.logX + g.logY + g.polar + g.radians, 0);
  EXPECT_EQ(g.polarOrigin, 0.0);
  EXPECT_EQ(g.showFitEquations + g.showResiduals + g.showZeroLines, 3);
  EXPECT_EQ(g.residualScale, 3.0);
}

TEST(Graph, LogarithmicRangesAreRepairedAsDrawingNeedsThem) {
  Graph g;
  g.SetRange(-3, 0, 100, -2);
  EXPECT_EQ(g.DrawableRange(), g.GetRange());  // linear axes draw any range
  g.logX = g.logY = 1;
  // x: only the lower end is bad; y: the upper end becomes 1 first, then the lower 1e-10.
  EXPECT_EQ(g.DrawableRange(), (DataRange{1e-10, 1e-10, 100, 1}));
  EXPECT_EQ(g.GetRange(), (DataRange{-3, 0, 100, -2}));  // asking changes nothing
  g.RepairLogRanges();
  EXPECT_EQ(g.GetRange(), (DataRange{1e-10, 1e-10, 100, 1}));
  EXPECT_EQ(g.prevXMin, 0.0);  // not a new range: Unzoom still goes back past it
  g.RepairLogRanges();
  EXPECT_EQ(g.GetRange(), (DataRange{1e-10, 1e-10, 100, 1}));  // a second repair finds nothing

  // An empty range: its lower end becomes a tenth of itself.
  g.xMin = g.xMax = 5;
  g.yMin = g.yMax = -4;  // upper end 1, lower 1e-10: no longer equal
  g.RepairLogRanges();
  EXPECT_DOUBLE_EQ(g.xMin, 0.5);
  EXPECT_EQ(g.xMax, 5.0);
  EXPECT_EQ(g.GetRange().yMin, 1e-10);
  EXPECT_EQ(g.GetRange().yMax, 1.0);
}

}  // namespace
}  // namespace zentrel
