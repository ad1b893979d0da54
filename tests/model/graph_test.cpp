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

// A page 1000 wide and 800 high with no labels: plot 65..965 x -765..-5.
Graph LaidOut() {
  Graph g;
  g.LayoutPlot({0, 0, 1000, -800});
  return g;
}

TEST(GraphMapping, FreshGraphMapsTheMiddleAndTheTop) {
  Graph g = LaidOut();
  EXPECT_EQ(g.plotRect, (DeviceRect{65, -5, 965, -765}));
  EXPECT_EQ(g.DataToDeviceX(0.5), 515);
  EXPECT_EQ(g.DataToDeviceY(1.0), g.plotRect.top);
  EXPECT_EQ(g.DataToDeviceY(0.0), g.plotRect.bottom);
}

TEST(GraphMapping, ClampsAndTruncatesTowardZero) {
  Graph g;
  g.plotRect = {0, 100, 100, 0};
  const struct {
    double value;
    std::int32_t device;
  } cases[] = {
      {1e9, 32766}, {-1e9, -32766},     {0.016, 1},          {-0.016, -1},  // 1.6 and -1.6 truncate to 1 and -1
      {-0.004, 0},  {1.0 / 0.0, 32766}, {0.0 / 0.0, -32766},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(g.DataToDeviceX(c.value), c.device) << c.value;
    EXPECT_EQ(g.DataToDeviceY(c.value), c.device) << c.value;
  }
}

TEST(GraphMapping, LogarithmicRangeIsRepairedOnFirstUse) {
  Graph g = LaidOut();
  g.logX = 1;
  g.xMin = -3;
  g.xMax = 100;
  EXPECT_EQ(g.DataToDeviceX(0.0), g.plotRect.left);  // non-positive: left edge, no repair yet
  EXPECT_EQ(g.xMin, -3.0);
  EXPECT_EQ(g.DataToDeviceX(100.0), g.plotRect.right);
  EXPECT_EQ(g.xMin, 1e-10);

  g.xMin = g.xMax = 5;
  g.DataToDeviceX(5);
  EXPECT_DOUBLE_EQ(g.xMin, 0.5);

  g.logY = 1;
  g.yMin = 0;
  g.yMax = -2;
  EXPECT_NEAR(g.DataToDeviceY(1.0), g.plotRect.top, 1);  // yMax -> 1, yMin -> 1e-10
  EXPECT_EQ(g.yMax, 1.0);
  EXPECT_EQ(g.yMin, 1e-10);
  EXPECT_EQ(g.DataToDeviceY(-1.0), g.plotRect.bottom);
}

TEST(GraphMapping, LogarithmicMappingIsEvenInDecades) {
  Graph g = LaidOut();
  g.logY = 1;
  g.yMin = 1;
  g.yMax = 1e4;
  // 760 units over four decades: 190 per decade.
  EXPECT_EQ(g.DataToDeviceY(10.0), -765 + 190);
  EXPECT_EQ(g.DataToDeviceY(1000.0), -765 + 570);
}

TEST(GraphMapping, DeviceToDataInvertsTheMapping) {
  Graph g = LaidOut();
  g.SetRange(-2, 10, 7, 30);
  EXPECT_DOUBLE_EQ(g.DeviceToDataX(g.plotRect.left), -2.0);
  EXPECT_DOUBLE_EQ(g.DeviceToDataX(g.plotRect.right), 7.0);
  EXPECT_DOUBLE_EQ(g.DeviceToDataY(g.plotRect.bottom), 10.0);
  EXPECT_DOUBLE_EQ(g.DeviceToDataY(g.plotRect.top), 30.0);
  EXPECT_DOUBLE_EQ(g.DeviceToDataX(515), 2.5);
  g.logX = g.logY = 1;
  g.SetRange(1, 1, 1e3, 1e2);
  EXPECT_NEAR(g.DeviceToDataX(g.plotRect.left + 300), 10.0, 1e-12);
  EXPECT_NEAR(g.DeviceToDataY(g.plotRect.bottom + 380), 10.0, 1e-12);
  g.plotRect = {50, 10, 50, 10};  // empty: everything maps back to 0
  EXPECT_EQ(g.DeviceToDataX(70), 0.0);
  EXPECT_EQ(g.DeviceToDataY(70), 0.0);
}

TEST(GraphMapping, PolarUsesDegreesTheOriginAndTheCartesianRanges) {
  Graph g;
  g.plotRect = {0, 400, 400, 0};
  g.SetRange(-2, -2, 2, 2);
  g.polar = 1;
  EXPECT_EQ(g.PolarToDeviceX(0, 0), 200);
  EXPECT_EQ(g.PolarToDeviceY(0, 0), 200);
  EXPECT_EQ(g.PolarToDeviceX(0, 2), 400);
  EXPECT_EQ(g.PolarToDeviceY(90, 2), 399);  // the rounded degree constant lands just short of the top
  EXPECT_EQ(g.PolarToDeviceX(180, 1), 100);
  g.SetPolarOrigin(90);
  EXPECT_EQ(g.PolarToDeviceX(0, 2), 199);  // the cosine of the rounded right angle is just below 0
  EXPECT_EQ(g.PolarToDeviceY(0, 2), 399);
  g.SetPolarOrigin(0);
  g.radians = 1;
  EXPECT_EQ(g.PolarToDeviceY(3.14159265358979 / 2, 1), 300);
}

TEST(GraphMapping, MarginsLeaveRoomForTitleAndLabels) {
  Graph g;
  g.LayoutPlot({100, -50, 1000, -750});
  EXPECT_EQ(g.pageRect, (DeviceRect{100, -50, 1000, -750}));
  EXPECT_EQ(g.plotRect, (DeviceRect{165, -55, 965, -715}));  // 65 / 35 / 5 / 35
  g.title = "T";
  g.xLabel = "X";
  g.yLabel = "Y";
  g.LayoutPlot({100, -50, 1000, -750});
  EXPECT_EQ(g.plotRect, (DeviceRect{185, -75, 965, -695}));  // 85 / 35 / 25 / 55
}

}  // namespace
}  // namespace zentrel
