#include "model/autoscale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "model/document.h"

namespace zentrel {
namespace {

Data_Set& AddSet(CZentrelDoc& doc, std::vector<double> x, std::vector<double> y) {
  auto set = std::make_unique<Data_Set>();
  for (size_t i = 0; i < x.size(); ++i) set->SetValue(0, static_cast<int>(i), x[i]);
  for (size_t i = 0; i < y.size(); ++i) set->SetValue(1, static_cast<int>(i), y[i]);
  return doc.AppendSet(std::move(set));
}

void ExpectRange(const CZentrelDoc& doc, double x0, double x1, double y0, double y1) {
  EXPECT_DOUBLE_EQ(doc.graph.xMin, x0);
  EXPECT_DOUBLE_EQ(doc.graph.xMax, x1);
  EXPECT_DOUBLE_EQ(doc.graph.yMin, y0);
  EXPECT_DOUBLE_EQ(doc.graph.yMax, y1);
}

TEST(Autoscale, NoActiveSetGivesTheUnitRangeWithMargins) {
  CZentrelDoc doc;
  AddSet(doc, {5, 6}, {7, 8}).active = 0;
  Autoscale(doc);
  ExpectRange(doc, -0.05, 1.05, -0.05, 1.05);
}

TEST(Autoscale, OnePointGetsUnitExtent) {
  CZentrelDoc doc;
  AddSet(doc, {2}, {3});
  Autoscale(doc);
  ExpectRange(doc, 1.95, 3.05, 2.95, 4.05);
  EXPECT_EQ(doc.selectionX1, doc.selectionX2);
  EXPECT_DOUBLE_EQ(doc.selectionX1, 2.5);
  EXPECT_DOUBLE_EQ(doc.selectionY1, 3.5);
  EXPECT_EQ(doc.graph.prevXMin, 0.0);  // the old range is remembered for Unzoom
}

TEST(Autoscale, SpansAllActiveSetsAndSkipsOneColumnSets) {
  CZentrelDoc doc;
  AddSet(doc, {0, 10}, {0, 20});
  AddSet(doc, {-10, 0}, {-20, 0});
  Data_Set& xOnly = doc.AppendSet(std::make_unique<Data_Set>());
  xOnly.SetValue(0, 0, 1000);
  Autoscale(doc);
  ExpectRange(doc, -11, 11, -22, 22);
}

TEST(Autoscale, LogAxesUseTheSmallestPositiveValueWithoutMargin) {
  CZentrelDoc doc;
  doc.graph.logX = 1;
  AddSet(doc, {-1, 0, 0.5, 4}, {1, 2, 3, 4});
  Autoscale(doc);
  EXPECT_DOUBLE_EQ(doc.graph.xMin, 0.5);
  EXPECT_DOUBLE_EQ(doc.graph.xMax, 4.0);
  EXPECT_DOUBLE_EQ(doc.graph.yMin, 1 - 0.15);
}

TEST(Autoscale, PolarUsesTheLargestRadiusInBothDirections) {
  CZentrelDoc doc;
  doc.graph.polar = 1;
  AddSet(doc, {0, 90, 180}, {1, -3, 2});
  Autoscale(doc);
  ExpectRange(doc, -3.3, 3.3, -3.3, 3.3);
}

}  // namespace
}  // namespace zentrel

namespace zentrel {
namespace {

// NaN and infinities are passed over: the range comes from the finite
// values, so one -inf dB bin cannot make it infinite and hide every set.
TEST(Autoscale, NonFiniteValuesArePassedOver) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  const struct {
    const char* what;
    std::vector<double> x, y;
    bool logY;
    double x0, x1, y0, y1;
  } cases[] = {
      {"-inf first", {0, 1, 2}, {-inf, 10, 20}, false, -0.1, 2.1, 9.5, 20.5},
      {"NaN and +inf", {nan, 1, 2, inf}, {1, nan, 3, 4}, false, 0.95, 2.05, 0.85, 4.15},
      {"log axis, -inf", {0, 10}, {-inf, 100}, true, -0.5, 10.5, 100, 101},
      {"nothing finite in y", {0, 10}, {nan, -inf}, false, -0.5, 10.5, -0.05, 1.05},
  };
  for (const auto& c : cases) {
    CZentrelDoc doc;
    doc.graph.logY = c.logY;
    AddSet(doc, c.x, c.y);
    Autoscale(doc);
    SCOPED_TRACE(c.what);
    ExpectRange(doc, c.x0, c.x1, c.y0, c.y1);
  }
}

}  // namespace
}  // namespace zentrel
