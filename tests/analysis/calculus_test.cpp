#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/autocorrelation.h"
#include "analysis/calculus.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

Data_Set MakeSet(const std::vector<double>& x, const std::vector<double>& y) {
  Data_Set set;
  for (size_t i = 0; i < x.size(); ++i) {
    set.SetValue(0, static_cast<int>(i), x[i]);
    set.SetValue(1, static_cast<int>(i), y[i]);
  }
  return set;
}

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
  auto result = autocorrelate(source);
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
  EXPECT_FALSE(autocorrelate(source));
}

}  // namespace
}  // namespace zentrel
