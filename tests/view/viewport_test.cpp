#include "view/viewport.h"

#include <gtest/gtest.h>

#include "model/document.h"

namespace zentrel {
namespace {

// A page 1000 wide and 800 high with no labels: plot 65..965 x -765..-5.
const DeviceRect kPage{0, 0, 1000, -800};

// A viewport whose plot rectangle is exactly `plot`.
Viewport WithPlot(const Graph& g, const DeviceRect& plot) {
  Viewport v = MakeViewport(g, kPage);
  v.plotRect = plot;
  return v;
}

TEST(Viewport, FreshGraphMapsTheMiddleAndTheTop) {
  const Viewport v = MakeViewport(Graph{}, kPage);
  EXPECT_EQ(v.plotRect, (DeviceRect{65, -5, 965, -765}));
  EXPECT_EQ(v.DataToDeviceX(0.5), 515);
  EXPECT_EQ(v.DataToDeviceY(1.0), v.plotRect.top);
  EXPECT_EQ(v.DataToDeviceY(0.0), v.plotRect.bottom);
}

TEST(Viewport, ClampsAndTruncatesTowardZero) {
  const Viewport v = WithPlot(Graph{}, {0, 100, 100, 0});
  const struct {
    double value;
    std::int32_t device;
  } cases[] = {
      {1e9, 32766}, {-1e9, -32766},     {0.016, 1},          {-0.016, -1},  // 1.6 and -1.6 truncate to 1 and -1
      {-0.004, 0},  {1.0 / 0.0, 32766}, {0.0 / 0.0, -32766},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(v.DataToDeviceX(c.value), c.device) << c.value;
    EXPECT_EQ(v.DataToDeviceY(c.value), c.device) << c.value;
  }
}

TEST(Viewport, LogarithmicRangeIsDrawnRepairedAndTheGraphKeepsItsOwn) {
  Graph g;
  g.logX = 1;
  g.xMin = -3;
  g.xMax = 100;
  Viewport v = MakeViewport(g, kPage);
  EXPECT_EQ(v.DataToDeviceX(0.0), v.plotRect.left);  // non-positive: left edge
  EXPECT_EQ(v.DataToDeviceX(100.0), v.plotRect.right);
  EXPECT_EQ(v.range.xMin, 1e-10);
  EXPECT_EQ(g.xMin, -3.0);

  g.xMin = g.xMax = 5;
  EXPECT_DOUBLE_EQ(MakeViewport(g, kPage).range.xMin, 0.5);

  g.logY = 1;
  g.yMin = 0;
  g.yMax = -2;
  v = MakeViewport(g, kPage);
  EXPECT_NEAR(v.DataToDeviceY(1.0), v.plotRect.top, 1);  // yMax -> 1, yMin -> 1e-10
  EXPECT_EQ(v.range.yMax, 1.0);
  EXPECT_EQ(v.range.yMin, 1e-10);
  EXPECT_EQ(v.DataToDeviceY(-1.0), v.plotRect.bottom);
  EXPECT_EQ(g.yMax, -2.0);
}

TEST(Viewport, LogarithmicMappingIsEvenInDecades) {
  Graph g;
  g.logY = 1;
  g.yMin = 1;
  g.yMax = 1e4;
  const Viewport v = MakeViewport(g, kPage);
  // 760 units over four decades: 190 per decade.
  EXPECT_EQ(v.DataToDeviceY(10.0), -765 + 190);
  EXPECT_EQ(v.DataToDeviceY(1000.0), -765 + 570);
}

TEST(Viewport, DeviceToDataInvertsTheMapping) {
  Graph g;
  g.SetRange(-2, 10, 7, 30);
  Viewport v = MakeViewport(g, kPage);
  EXPECT_DOUBLE_EQ(v.DeviceToDataX(v.plotRect.left), -2.0);
  EXPECT_DOUBLE_EQ(v.DeviceToDataX(v.plotRect.right), 7.0);
  EXPECT_DOUBLE_EQ(v.DeviceToDataY(v.plotRect.bottom), 10.0);
  EXPECT_DOUBLE_EQ(v.DeviceToDataY(v.plotRect.top), 30.0);
  EXPECT_DOUBLE_EQ(v.DeviceToDataX(515), 2.5);
  g.logX = g.logY = 1;
  g.SetRange(1, 1, 1e3, 1e2);
  v = MakeViewport(g, kPage);
  EXPECT_NEAR(v.DeviceToDataX(v.plotRect.left + 300), 10.0, 1e-12);
  EXPECT_NEAR(v.DeviceToDataY(v.plotRect.bottom + 380), 10.0, 1e-12);
  v.plotRect = {50, 10, 50, 10};  // empty: everything maps back to 0
  EXPECT_EQ(v.DeviceToDataX(70), 0.0);
  EXPECT_EQ(v.DeviceToDataY(70), 0.0);
  EXPECT_EQ(Viewport{}.DeviceToDataX(70), 0.0);  // nothing drawn yet
}

TEST(Viewport, PolarUsesDegreesTheOriginAndTheCartesianRanges) {
  Graph g;
  g.SetRange(-2, -2, 2, 2);
  g.polar = 1;
  const DeviceRect plot{0, 400, 400, 0};
  Viewport v = WithPlot(g, plot);
  EXPECT_EQ(v.PolarToDeviceX(0, 0), 200);
  EXPECT_EQ(v.PolarToDeviceY(0, 0), 200);
  EXPECT_EQ(v.PolarToDeviceX(0, 2), 400);
  EXPECT_EQ(v.PolarToDeviceY(90, 2), 399);  // the rounded degree constant lands just short of the top
  EXPECT_EQ(v.PolarToDeviceX(180, 1), 100);
  g.SetPolarOrigin(90);
  v = WithPlot(g, plot);
  EXPECT_EQ(v.PolarToDeviceX(0, 2), 199);  // the cosine of the rounded right angle is just below 0
  EXPECT_EQ(v.PolarToDeviceY(0, 2), 399);
  g.SetPolarOrigin(0);
  g.radians = 1;
  v = WithPlot(g, plot);
  EXPECT_EQ(v.PolarToDeviceY(3.14159265358979 / 2, 1), 300);
}

TEST(Viewport, MarginsLeaveRoomForTitleAndLabels) {
  Graph g;
  const DeviceRect page{100, -50, 1000, -750};
  Viewport v = MakeViewport(g, page);
  EXPECT_EQ(v.pageRect, page);
  EXPECT_EQ(v.plotRect, (DeviceRect{165, -55, 965, -715}));  // 65 / 35 / 5 / 35
  EXPECT_EQ(v.layout(), (PageLayout{page, v.plotRect}));
  g.title = "T";
  g.xLabel = "X";
  g.yLabel = "Y";
  EXPECT_EQ(MakeViewport(g, page).plotRect, (DeviceRect{185, -75, 965, -695}));  // 85 / 35 / 25 / 55
}

TEST(Viewport, TheDocumentsViewportIsItsGraphs) {
  CZentrelDoc doc;
  doc.graph.SetRange(1, 2, 3, 4);
  doc.graph.title = "T";
  doc.graph.polar = 1;
  doc.graph.polarOrigin = 30;
  const Viewport fromDoc = MakeViewport(doc, kPage);
  const Viewport fromGraph = MakeViewport(doc.graph, kPage);
  EXPECT_EQ(fromDoc.plotRect, fromGraph.plotRect);
  EXPECT_EQ(fromDoc.range, (DataRange{1, 2, 3, 4}));
  EXPECT_TRUE(fromDoc.polar);
  EXPECT_EQ(fromDoc.polarOrigin, 30.0);
}

}  // namespace
}  // namespace zentrel
