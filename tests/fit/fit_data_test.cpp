// The columns a fit reads from its set, and a restarted run's spline.

#include "fit/fit_data.h"

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
