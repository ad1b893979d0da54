// Point-wise changes: the Operate functions, peak and mean searches, point
// deletion and linear interpolation.

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/pointwise.h"
#include "model/fit.h"
#include "set_builder.h"

namespace zentrel {
namespace {

using testing::Column;
using testing::FillSet;
using V = std::vector<double>;

TEST(ApplyFunction, EachCodeOnItsCoordinate) {
  const double e = std::exp(1.0);
  struct Case {
    int code;
    V x, y, wantX, wantY;
  } cases[] = {
      {kFunctionNone, {1, 2}, {3, 4}, {1, 2}, {3, 4}},
      {kFunctionLnX, {-1, 0, 1, e}, {1, 2, 3, 4}, {0, 1}, {3, 4}},
      {kFunctionLnY, {1, 2, 3}, {e, -2, 1}, {1, 3}, {1, 0}},
      {kFunctionSqrtX, {-4, 0, 9}, {1, 1, 1}, {-2, 0, 3}, {1, 1, 1}},
      {kFunctionSqrtY, {1, 2, 3}, {-4, 0, 9}, {1, 2, 3}, {-2, 0, 3}},
      {kFunctionExpX, {0, 1}, {5, 6}, {1, e}, {5, 6}},
      {kFunctionExpY, {5, 6}, {0, 1}, {5, 6}, {1, e}},
      // A last point outside the domain goes, and only that one.
      {kFunctionLnX, {1, 2, 0}, {7, 8, 9}, {0, std::log(2.0)}, {7, 8}},
      // Runs at the start, the middle and the end.
      {kFunctionLnY, {1, 2, 3, 4, 5, 6}, {0, -1, 1, 0, 1, -5}, {3, 5}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    Data_Set set;
    FillSet(set, {c.x, c.y});
    ApplyFunction(set, c.code);
    ASSERT_EQ(Column(set, 0).size(), c.wantX.size());
    for (size_t i = 0; i < c.wantX.size(); ++i) {
      EXPECT_DOUBLE_EQ(set.GetValue(0, static_cast<int>(i)), c.wantX[i]);
      EXPECT_DOUBLE_EQ(set.GetValue(1, static_cast<int>(i)), c.wantY[i]);
    }
    EXPECT_EQ(set.modified, c.code != kFunctionNone);
  }
}

TEST(ApplyFunction, SqrtYOfZeroIsNegativeZeroAndSqrtXOfZeroPositive) {
  Data_Set set;
  FillSet(set, {{0}, {0}});
  ApplyFunction(set, kFunctionSqrtY);
  ApplyFunction(set, kFunctionSqrtX);
  EXPECT_TRUE(std::signbit(set.GetValue(1, 0)));
  EXPECT_FALSE(std::signbit(set.GetValue(0, 0)));
}

TEST(ApplyFunction, LogarithmKeepsErrorsAlignedAndFitsBound) {
  Data_Set set;
  FillSet(set, {{-1, 1, -2, 2}, {10, 20, 30, 40}, {0.1, 0.2, 0.3, 0.4}});
  set.fits.push_back(std::make_unique<Fit>());
  set.ReattachFits();
  set.fits[0]->iterationCount = 3;
  ApplyFunction(set, kFunctionLnX);
  EXPECT_EQ(Column(set, 2), (V{0.2, 0.4}));
  EXPECT_EQ(Column(set, 1), (V{20, 40}));
  EXPECT_EQ(set.fits[0]->iterationCount, 0);  // the engine restarts on the new columns
}

TEST(ApplyFunction, OneColumnSetIsLeftAlone) {
  Data_Set set;
  FillSet(set, {{-1, 4}});
  ApplyFunction(set, kFunctionLnX);
  ApplyFunction(set, kFunctionSqrtX);
  EXPECT_EQ(Column(set, 0), (V{-1, 4}));
  EXPECT_FALSE(set.modified);
}

TEST(FindPeak, LargestInsideFirstOfEqualAndZeroWhenEmpty) {
  Data_Set set;
  FillSet(set, {{0, 1, 2, 3, 4}, {1, 5, 9, 9, 100}});
  Peak peak = FindPeak(set, 0, 0, 3, 50);
  EXPECT_EQ(peak.y, 9);
  EXPECT_EQ(peak.x, 2);
  peak = FindPeak(set, 10, 0, 20, 50);
  EXPECT_EQ(peak.y, 0);
  EXPECT_EQ(peak.x, 0);
  // Negative values are found too (the peak is the largest, not the largest
  // magnitude).
  Data_Set negative;
  FillSet(negative, {{0, 1}, {-3, -2}});
  EXPECT_EQ(FindPeak(negative, 0, -10, 1, 0).y, -2);
}

TEST(MeanInRegion, ClosedRectangleAndCount) {
  Data_Set set;
  FillSet(set, {{0, 1, 2, 3}, {1, 2, 3, 4}});
  RegionMeanResult r = MeanInRegion(set, 1, 0, 2, 10);
  EXPECT_EQ(r.count, 2);
  EXPECT_DOUBLE_EQ(r.mean, 2.5);
  r = MeanInRegion(set, 0, 0, 0, 0);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.mean, 0);
}

TEST(DeleteInRegion, RunsAndSinglePointsGoFitsFollow) {
  Data_Set set;
  V x, y, e;
  for (int i = 0; i < 10; ++i) x.push_back(i), y.push_back(i == 8 ? 50 : 10 * i), e.push_back(i);
  FillSet(set, {x, y, e});
  set.fits.push_back(std::make_unique<Fit>());
  set.ReattachFits();
  set.fits[0]->iterationCount = 3;
  // Points 3..5 (y 30..50) and 8 (y 50) lie inside; 6 and 7 are above.
  EXPECT_EQ(DeleteInRegion(set, 3, 30, 8, 50), 4);
  EXPECT_EQ(Column(set, 0), (V{0, 1, 2, 6, 7, 9}));
  EXPECT_EQ(Column(set, 2), (V{0, 1, 2, 6, 7, 9}));
  EXPECT_EQ(set.fits[0]->iterationCount, 0);  // the engine restarts on the new columns
}

TEST(DeleteInRegion, BoundsAreUsedAsStored) {
  Data_Set set;
  FillSet(set, {{0, 1, 2}, {0, 1, 2}});
  EXPECT_EQ(DeleteInRegion(set, 2, 2, 0, 0), 0);  // wrong way round: empty
  EXPECT_EQ(DeleteInRegion(set, 1, 1, 1, 1), 1);  // a click: only that point
  EXPECT_EQ(Column(set, 0), (V{0, 2}));
  EXPECT_EQ(DeleteInRegion(set, -5, -5, 5, 5), 2);
  EXPECT_EQ(set.PointCount(0), 0);
}

TEST(Interpolate, MidpointsPlainAndWeighted) {
  Data_Set plain;
  FillSet(plain, {{0, 1, 2}, {0, 10, 20}});
  Interpolate(plain);
  EXPECT_EQ(Column(plain, 0), (V{0, 0.5, 1, 1.5, 2}));
  EXPECT_EQ(Column(plain, 1), (V{0, 5, 10, 15, 20}));
  EXPECT_TRUE(plain.modified);

  Data_Set weighted;
  FillSet(weighted, {{0, 1, 2}, {0, 10, 20}, {1, 3, 0}, {2, 2, -1}, {7, 8, 9}});
  Interpolate(weighted);
  EXPECT_DOUBLE_EQ(weighted.GetValue(1, 1), 2.5);
  // The error of a mean of two: below the larger neighbour error.
  EXPECT_DOUBLE_EQ(weighted.GetValue(2, 1), 0.5 * std::sqrt(10.0));
  EXPECT_DOUBLE_EQ(weighted.GetValue(3, 1), 0.5 * std::sqrt(8.0));
  // A non-positive neighbour error: the plain mean and a zero error.
  EXPECT_DOUBLE_EQ(weighted.GetValue(1, 3), 15);
  EXPECT_EQ(weighted.GetValue(2, 3), 0);
  EXPECT_EQ(weighted.GetValue(3, 3), 0);
  // Old points keep their own errors, whatever their sign; extra columns
  // get 0 at the new points.
  EXPECT_EQ(Column(weighted, 2), (V{1, 0.5 * std::sqrt(10.0), 3, 0, 0}));
  EXPECT_EQ(Column(weighted, 3)[4], -1);
  EXPECT_EQ(Column(weighted, 4), (V{7, 0, 8, 0, 9}));
}

TEST(Interpolate, OnePointIsLeftAloneFitsFollowGrowth) {
  Data_Set one;
  FillSet(one, {{3}, {4}});
  Interpolate(one);
  EXPECT_EQ(Column(one, 0), (V{3}));
  EXPECT_FALSE(one.modified);

  Data_Set set;
  V x(100), y(100);
  for (int i = 0; i < 100; ++i) x[i] = i, y[i] = i * i;
  FillSet(set, {x, y});
  set.fits.push_back(std::make_unique<Fit>());
  set.ReattachFits();
  set.fits[0]->iterationCount = 3;
  Interpolate(set);
  EXPECT_EQ(set.PointCount(0), 199);
  EXPECT_EQ(set.PointCount(1), 199);
  EXPECT_EQ(set.fits[0]->iterationCount, 0);  // the engine restarts on the new columns
}

}  // namespace
}  // namespace zentrel
