// The columns a fit reads from its set, and a restarted run's spline.

#include "fit/fit_data.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/engine.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

Data_Set SetOf(const std::vector<std::vector<double>>& columns) {
  Data_Set set;
  for (size_t c = 0; c < columns.size(); ++c)
    for (size_t i = 0; i < columns[c].size(); ++i)
      set.SetValue(static_cast<int>(c), static_cast<int>(i), columns[c][i]);
  return set;
}

TEST(FitData, TakesTheDrawablePointsAndAFullErrorColumn) {
  const Data_Set withErrors = SetOf({{1, 2, 3, 4}, {5, 6, 7}, {0.1, 0.2, 0.3}});
  const FitData data = FitDataOf(withErrors);
  EXPECT_EQ(data.x.size(), 3u);  // y has three points
  EXPECT_EQ(data.y.size(), 3u);
  EXPECT_EQ(data.x.data(), withErrors.ColumnData(0));
  ASSERT_EQ(data.sigma.size(), 3u);
  EXPECT_EQ(data.sigma[2], 0.3);

  // An error column shorter than the points is not read at all.
  EXPECT_TRUE(FitDataOf(SetOf({{1, 2, 3}, {4, 5, 6}, {0.1}})).sigma.empty());
  EXPECT_TRUE(FitDataOf(SetOf({{1, 2, 3}, {4, 5, 6}})).sigma.empty());
  EXPECT_TRUE(FitDataOf(SetOf({{1, 2, 3}})).x.empty());  // no y column
}

TEST(FitData, ReadsASetInAnyOrderInAscendingXWithEachYAndSigmaAlongside) {
  const Data_Set shuffled = SetOf({{3, 1, 4, 0, 2}, {30, 10, 40, 0, 20}, {0.3, 0.1, 0.4, 0.0, 0.2}});
  const FitData data = FitDataOf(shuffled);
  ASSERT_NE(data.sorted, nullptr);  // a private copy: the set keeps its order
  EXPECT_EQ(std::vector<double>(data.x.begin(), data.x.end()), (std::vector<double>{0, 1, 2, 3, 4}));
  EXPECT_EQ(std::vector<double>(data.y.begin(), data.y.end()), (std::vector<double>{0, 10, 20, 30, 40}));
  EXPECT_EQ(std::vector<double>(data.sigma.begin(), data.sigma.end()), (std::vector<double>{0.0, 0.1, 0.2, 0.3, 0.4}));
  EXPECT_EQ(shuffled.GetValue(0, 0), 3);

  // Equal x keep their order; NaN x trail and lie in no range.
  const FitData ties = FitDataOf(SetOf({{2, std::nan(""), 1, 2, 1}, {1, 2, 3, 4, 5}}));
  EXPECT_EQ(std::vector<double>(ties.y.begin(), ties.y.end()), (std::vector<double>{3, 5, 1, 4, 2}));
  EXPECT_EQ(CountPointsInRange(ties, -10, 10), 4);
  EXPECT_EQ(CountPointsInRange(ties, 1, 1), 2);
  EXPECT_EQ(CountPointsInRange(ties, 1.5, 1.9), 0);
  EXPECT_EQ(CountPointsInRange(ties, 2, 1), 0);  // a range backwards holds nothing
  int first = 0, last = 0;
  ASSERT_TRUE(PointsInRange(ties, 2, 5, first, last));
  EXPECT_EQ(first, 2);
  EXPECT_EQ(last, 3);

  // Ascending sets are read in place.
  const Data_Set ascending = SetOf({{0, 1, 1, 2}, {5, 6, 7, 8}});
  EXPECT_EQ(FitDataOf(ascending).x.data(), ascending.ColumnData(0));
  EXPECT_EQ(FitDataOf(ascending).sorted, nullptr);
}

TEST(FitData, ACachedOrderFollowsTheSetAndNeverChangesColumnsInUse) {
  Data_Set set = SetOf({{2, 0, 1}, {20, 0, 10}});
  FitDataCache cache;
  const FitData first = FitDataOf(set, cache);
  EXPECT_EQ(std::vector<double>(first.y.begin(), first.y.end()), (std::vector<double>{0, 10, 20}));

  // Still held: a later read must not write into it.
  set.SetValue(1, 0, 25);
  const FitData second = FitDataOf(set, cache);
  EXPECT_EQ(first.y[2], 20);
  EXPECT_EQ(second.y[2], 25);

  // New x that the old order no longer sorts.
  set.SetValue(0, 1, 3);
  const FitData third = FitDataOf(set, cache);
  EXPECT_EQ(std::vector<double>(third.x.begin(), third.x.end()), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(std::vector<double>(third.y.begin(), third.y.end()), (std::vector<double>{10, 25, 0}));
}

TEST(FitData, ANewFitsRangeIsTheSetsSmallestToLargestX) {
  const double descending[] = {5, 4, 3, 2, 1};
  const double shuffled[] = {3, std::nan(""), -2, 7, 0};
  Fit down, mixed;
  down.attach(descending, 5);
  mixed.attach(shuffled, 5);
  EXPECT_EQ(down.fitStart, 1);
  EXPECT_EQ(down.fitEnd, 5);
  EXPECT_EQ(mixed.fitStart, -2);
  EXPECT_EQ(mixed.fitEnd, 7);
}

TEST(FitWorkspace, ARestartedRunSplinesThroughTheNewColumns) {
  ClearNumericError();
  const Data_Set first = SetOf({{0, 1, 2, 3, 4}, {0, 1, 4, 9, 16}});
  const Data_Set second = SetOf({{0, 1, 2, 3, 4}, {3, 1, 4, 1, 5}});
  Fit fit;
  SelectModel(fit, "Cubic Spline", 1);
  fit.freeFlags.fill(0);  // nothing moves: the step only scores the spline
  fit.attach(first.ColumnData(0), first.DrawablePointCount());
  FitWorkspace work;
  ASSERT_TRUE(Step(fit, FitDataOf(first), work, 1).ok());
  EXPECT_EQ(fit.chiSquare, 0.0);  // through every point
  EXPECT_TRUE(work.spline.prepared);

  // The spline meets the points whatever its curvature: between them tells.
  const FitData data = FitDataOf(second);
  FitModel throughSecond(fit, data);
  ModelScope run{fit, data, work.spline};
  ASSERT_TRUE(Step(fit, data, work, 1).ok());
  EXPECT_NE(ModelValue(run, 1.5), throughSecond(1.5));  // no restart yet: the old curvature

  fit.restart();
  ASSERT_TRUE(Step(fit, data, work, 1).ok());
  EXPECT_EQ(ModelValue(run, 1.5), throughSecond(1.5));
  EXPECT_EQ(fit.chiSquare, 0.0);
}

}  // namespace
}  // namespace zentrel
