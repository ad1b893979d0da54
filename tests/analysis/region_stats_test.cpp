// Integral, mean and standard deviation over a rectangle, against plain
// loops over the points.

#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/region_stats.h"
#include "set_builder.h"

namespace zentrel {
namespace {

using testing::Column;
using testing::FillSet;
using V = std::vector<double>;

TEST(RegionStats, Examples) {
  struct Case {
    V x, y;
    double xLo, xHi, yLo, yHi;
    double integral, mean, stdDev;
  } cases[] = {
      {{0, 1, 2, 3}, {0, 1, 2, 3}, 0, 3, 0, 3, 4.5, 1.5, std::sqrt(5.0 / 3)},
      {{0, 1, 2, 3}, {0, 1, 2, 3}, 1, 2, -10, 10, 1.5, 1.5, std::sqrt(0.5)},
      // The middle point is outside the y band: the outer ones are joined.
      {{0, 1, 2}, {0, 10, 0}, 0, 2, -1, 1, 0, 0, 0},
      {{0, 1, 2, 3}, {1, 2, 3, 4}, -1, 5, 0, 5, 7.5, 2.5, std::sqrt(5.0 / 3)},
      // One point inside: no trapezoid, no spread.
      {{0, 1, 2}, {5, 6, 7}, 1, 1, 0, 10, 0, 6, 0},
      // Nothing inside, and a band of zero height only points exactly on it
      // pass.
      {{0, 1, 2}, {5, 6, 7}, 5, 9, 0, 10, 0, 0, 0},
      {{0, 1, 2}, {5, 6, 6}, 0, 2, 6, 6, 0.5 * 12, 6, 0},
  };
  for (const Case& c : cases) {
    Data_Set set;
    FillSet(set, {c.x, c.y});
    EXPECT_DOUBLE_EQ(RegionIntegral(set, c.xLo, c.xHi, c.yLo, c.yHi), c.integral);
    EXPECT_DOUBLE_EQ(RegionMean(set, c.xLo, c.xHi, c.yLo, c.yHi), c.mean);
    EXPECT_DOUBLE_EQ(RegionStdDev(set, c.xLo, c.xHi, c.yLo, c.yHi), c.stdDev);
  }
}

TEST(RegionStats, IntegralSortsTheSetMeanDoesNot) {
  Data_Set set;
  FillSet(set, {{3, 0, 2, 1}, {3, 0, 2, 1}});
  EXPECT_DOUBLE_EQ(RegionMean(set, 0, 3, 0, 3), 1.5);
  EXPECT_EQ(Column(set, 0), (V{3, 0, 2, 1}));
  EXPECT_DOUBLE_EQ(RegionIntegral(set, 0, 3, 0, 3), 4.5);
  EXPECT_EQ(Column(set, 0), (V{0, 1, 2, 3}));
}

TEST(RegionStats, OneColumnGivesZero) {
  Data_Set set;
  FillSet(set, {{0, 1, 2}});
  EXPECT_EQ(RegionIntegral(set, 0, 2, -1, 1), 0);
  EXPECT_EQ(RegionMean(set, 0, 2, -1, 1), 0);
  EXPECT_EQ(RegionStdDev(set, 0, 2, -1, 1), 0);
}

// Slow and obvious: collect the points inside in x order, then sum.
TEST(RegionStats, AgreeWithCollectingThePointsFirst) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-5, 5);
  for (int round = 0; round < 20; ++round) {
    V x(50), y(50);
    for (int i = 0; i < 50; ++i) x[i] = i * 0.1, y[i] = value(random);
    const double xLo = value(random) * 0.5 + 2.5, xHi = xLo + 1.5, yLo = -3, yHi = 2;
    V xs, ys;
    for (int i = 0; i < 50; ++i)
      if (xLo <= x[i] && x[i] <= xHi && yLo <= y[i] && y[i] <= yHi) xs.push_back(x[i]), ys.push_back(y[i]);
    double integral = 0, mean = 0, spread = 0;
    for (size_t i = 1; i < xs.size(); ++i) integral += (ys[i - 1] + ys[i]) * (xs[i] - xs[i - 1]) / 2;
    for (double v : ys) mean += v / ys.size();
    for (double v : ys) spread += (v - mean) * (v - mean);
    Data_Set set;
    FillSet(set, {x, y});
    EXPECT_NEAR(RegionIntegral(set, xLo, xHi, yLo, yHi), integral, 1e-12);
    EXPECT_NEAR(RegionMean(set, xLo, xHi, yLo, yHi), ys.empty() ? 0 : mean, 1e-12);
    EXPECT_NEAR(RegionStdDev(set, xLo, xHi, yLo, yHi), ys.size() < 2 ? 0 : std::sqrt(spread / (ys.size() - 1)),
                1e-12);
  }
}

}  // namespace
}  // namespace zentrel
