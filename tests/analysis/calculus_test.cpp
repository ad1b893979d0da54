#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "set_builder.h"

#include "analysis/autocorrelation.h"
#include "analysis/calculus.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

using testing::MakeSet;

TEST(RunningIntegral, ConstantGivesTheRampAndSortsFirst) {
  Data_Set set = MakeSet({2, 0, 1}, {1, 1, 1});
  RunningIntegral(set);
  ASSERT_EQ(set.PointCount(1), 3);
  EXPECT_DOUBLE_EQ(set.GetValue(0, 0), 0);
  EXPECT_DOUBLE_EQ(set.GetValue(1, 0), 0);
  EXPECT_DOUBLE_EQ(set.GetValue(1, 1), 1);
  EXPECT_DOUBLE_EQ(set.GetValue(1, 2), 2);
}

TEST(RunningIntegral, UsesTheValuesBeforeReplacement) {
  Data_Set set = MakeSet({0, 1, 2, 3}, {0, 1, 4, 9});
  RunningIntegral(set);
  EXPECT_DOUBLE_EQ(set.GetValue(1, 1), 0.5);
  EXPECT_DOUBLE_EQ(set.GetValue(1, 2), 3.0);
  EXPECT_DOUBLE_EQ(set.GetValue(1, 3), 9.5);
}

TEST(RunningIntegral, OnePointAndOneColumnAreLeftAlone) {
  Data_Set one = MakeSet({1}, {5});
  RunningIntegral(one);
  EXPECT_DOUBLE_EQ(one.GetValue(1, 0), 5);
  Data_Set xOnly;
  xOnly.SetValue(0, 0, 1);
  xOnly.SetValue(0, 1, 2);
  RunningIntegral(xOnly);
  EXPECT_EQ(xOnly.ColumnCount(), 1);
}

TEST(Autocorrelate, TenPointsGiveMirroredLagsWithZeroTwice) {
  std::vector<double> x, y;
  for (int i = 0; i < 10; ++i) {
    x.push_back(0.5 * i);
    y.push_back(i + 1.0);
  }
  Data_Set source = MakeSet(x, y);
  source.name = "s";
  source.color = 0x123456;
  source.symbolSize = 2.5;
  source.active = 0;
  auto result = autocorrelate(source).set;
  ASSERT_TRUE(result);
  ASSERT_EQ(result->PointCount(0), 10);
  EXPECT_EQ(result->name, "s Autocorrelaiton");
  EXPECT_EQ(result->color, 0x123456u);
  EXPECT_DOUBLE_EQ(result->symbolSize, 2.5);
  EXPECT_EQ(source.active, 1);
  // Direct sums as the oracle.
  for (int lag = 0; lag < 5; ++lag) {
    double sum = 0;
    for (int j = 0; j + lag < 10; ++j) sum += y[j] * y[j + lag];
    EXPECT_DOUBLE_EQ(result->GetValue(1, 5 + lag), sum / (10 - lag)) << lag;
    EXPECT_DOUBLE_EQ(result->GetValue(1, 4 - lag), sum / (10 - lag)) << lag;
    EXPECT_DOUBLE_EQ(result->GetValue(0, 5 + lag), 0.5 * lag);
    EXPECT_DOUBLE_EQ(result->GetValue(0, 4 - lag), -0.5 * lag);
  }
  EXPECT_TRUE(std::signbit(result->GetValue(0, 4)));
}

TEST(Autocorrelate, NinePointsGiveNothing) {
  Data_Set source = MakeSet({0, 1, 2, 3, 4, 5, 6, 7, 8}, {1, 1, 1, 1, 1, 1, 1, 1, 1});
  EXPECT_FALSE(autocorrelate(source).set);
}

}  // namespace
}  // namespace zentrel

namespace zentrel {
namespace {

TEST(Differentiate, ForwardDifferencesAtTheLeftPoint) {
  struct Case {
    std::vector<double> x, y, wantX, wantY;
  } cases[] = {
      {{0, 1, 2, 3}, {0, 1, 4, 9}, {0, 1, 2}, {1, 3, 5}},
      {{3, 1, 2, 0}, {9, 1, 4, 0}, {0, 1, 2}, {1, 3, 5}},  // sorted first
      {{0, 0, 1}, {1, 5, 7}, {0, 0}, {0, 2}},                 // equal x: 0, not infinite
      {{4}, {2}, {4}, {2}},                                   // one point: unchanged
  };
  for (const auto& c : cases) {
    Data_Set set = MakeSet(c.x, c.y);
    Differentiate(set);
    ASSERT_EQ(set.PointCount(0), static_cast<int>(c.wantX.size()));
    ASSERT_EQ(set.PointCount(1), static_cast<int>(c.wantY.size()));
    for (size_t i = 0; i < c.wantX.size(); ++i) {
      EXPECT_DOUBLE_EQ(set.GetValue(0, static_cast<int>(i)), c.wantX[i]);
      EXPECT_DOUBLE_EQ(set.GetValue(1, static_cast<int>(i)), c.wantY[i]);
    }
  }
}

TEST(Differentiate, ErrorsOfTheRemainingPointsStay) {
  Data_Set set = MakeSet({0, 1, 2}, {0, 2, 6});
  set.SetValue(2, 0, 0.1), set.SetValue(2, 1, 0.2), set.SetValue(2, 2, 0.3);
  Differentiate(set);
  EXPECT_EQ(set.PointCount(2), 2);
  EXPECT_DOUBLE_EQ(set.GetValue(2, 1), 0.2);
}

TEST(PointSpacing, FirstIntervalAgainstAllButTheLast) {
  struct Case {
    std::vector<double> x;
    double spacing;
    bool even;
  } cases[] = {
      {{0, 0.5, 1.0, 1.5}, 0.5, true},
      {{0, 1, 2, 4}, 1, true},  // the last interval is not compared
      {{0, 1, 3, 4}, 1, false},
      {{3, 2, 1, 0}, 1, true},  // descending: magnitudes compared
      {{0, 1, 2.000001, 3}, 1, true},
      {{0, 1, 2.0001, 3}, 1, false},
      {{0, 0, 0, 1}, 0, true},
      {{0, 0, 1, 2}, 0, false},
      {{5, 7}, 2, true},
      {{5}, 0, false},
      {{}, 0, false},
  };
  for (const auto& c : cases) {
    Data_Set set = MakeSet(c.x, c.x);
    const Spacing s = PointSpacing(set);
    EXPECT_DOUBLE_EQ(s.spacing, c.spacing) << c.x.size();
    EXPECT_EQ(s.evenlySpaced, c.even) << c.x.size();
  }
}

}  // namespace
}  // namespace zentrel
