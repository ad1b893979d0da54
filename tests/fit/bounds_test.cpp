// Bounds on parameters: intervals are checked, values outside move in, a
// bounded fit never leaves its box with either method, an optimum outside
// the box ends on its face (flagged), peaks that drift to negative widths
// find the peak once widths are kept positive, and a box the fit never
// touches changes nothing, bit for bit.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "case_names.h"

#include "fit/catalogue.h"
#include "fit/engine.h"
#include "fit/fit_bounds.h"
#include "fit/fit_run.h"
#include "fit/model_table.h"
#include "fit/profile_confidence.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

constexpr double kInf = HUGE_VAL;

Data_Set SetOf(const std::vector<double>& x, const std::vector<double>& y) {
  Data_Set set;
  for (size_t i = 0; i < x.size(); ++i) {
    set.SetValue(0, static_cast<int>(i), x[i]);
    set.SetValue(1, static_cast<int>(i), y[i]);
  }
  return set;
}

// y = 2x + 1 with a deterministic wobble on 0..10.
Data_Set Line() {
  std::vector<double> x, y;
  for (int i = 0; i <= 40; ++i) {
    x.push_back(0.25 * i);
    y.push_back(2 * x.back() + 1 + 0.05 * std::sin(3.0 * i));
  }
  return SetOf(x, y);
}

// One peak on a small background, a gentle wobble for noise.
Data_Set Peak(const std::string& model, double height, double centre, double width) {
  std::vector<double> x, y;
  for (int i = 0; i <= 200; ++i) {
    x.push_back(0.05 * i);
    const double z = (x.back() - centre) / width;
    const double shape = model == "Gaussian" ? std::exp(-0.5 * z * z) : 1 / (1 + 4 * z * z);
    y.push_back(0.2 + height * shape + 0.01 * std::sin(7.0 * i));
  }
  return SetOf(x, y);
}

TEST(Bounds, IntervalsAreCheckedAndStartValuesMoveInside) {
  struct Case {
    double lower, upper, start;
    bool accepted;
    double value;  // the start value afterwards
  };
  const double nan = std::nan("");
  const Case cases[] = {
      {0, 10, 5, true, 5},         {0, 10, -3, true, 0},      {0, 10, 12, true, 10},
      {-kInf, 1, 4, true, 1},      {2, kInf, -4, true, 2},    {-kInf, kInf, 7, true, 7},
      {3, 3, 9, true, 3},          {5, 1, 3, false, 3},       {nan, 1, 3, false, 3},
      {0, nan, 3, false, 3},       {kInf, kInf, 3, false, 3}, {-kInf, -kInf, 3, false, 3},
  };
  for (const Case& c : cases) {
    Fit fit;
    SelectModel(fit, "Exponential", 1);
    fit.params[2] = c.start;
    fit.iterationCount = 7;
    const std::string problem = SetBounds(fit, 2, c.lower, c.upper);
    const std::string label = std::to_string(c.lower) + ".." + std::to_string(c.upper);
    EXPECT_EQ(problem.empty(), c.accepted) << label << ": " << problem;
    EXPECT_EQ(fit.params[2], c.value) << label;
    EXPECT_EQ(fit.lowerBounds[2], c.accepted ? c.lower : -kInf) << label;
    // Only a change restarts the engine.
    EXPECT_EQ(fit.iterationCount, c.accepted && !(std::isinf(c.lower) && std::isinf(c.upper)) ? 0 : 7) << label;
  }
  Fit fit;
  EXPECT_FALSE(SetBounds(fit, kMaxFitParameters, 0, 1).empty());
  EXPECT_FALSE(HasBounds(fit));
}

// The box the fit must stay in while it walks there from a poor start.
struct StayCase {
  const char* name;
  int method;
};

std::string Describe(const StayCase& c) { return c.name; }
void PrintTo(const StayCase& c, std::ostream* out) { *out << Describe(c); }

class StaysInside : public ::testing::TestWithParam<StayCase> {};

TEST_P(StaysInside, EveryStepKeepsEveryParameterInItsInterval) {
  const Data_Set set = Peak("Gaussian", 5, 4, 0.6);
  Fit fit;
  SelectModel(fit, "Gaussian", 1);
  fit.method = GetParam().method;
  fit.freeFlags[1] = 0;
  fit.params = {0, 0, 2, 4.6, 1.2};
  // The unbounded fit passes outside this box on its way.
  ASSERT_TRUE(SetBounds(fit, 0, 0, 0.15).empty());
  ASSERT_TRUE(SetBounds(fit, 2, 0, 4.5).empty());
  ASSERT_TRUE(SetBounds(fit, 3, 3.5, 7).empty());
  ASSERT_TRUE(SetBounds(fit, 4, 0.1, 2).empty());
  fit.attach(set.ColumnData(0), set.PointCount(0));
  const FitData data = FitDataOf(set);
  FitWorkspace work;
  ClearNumericError();
  bool touched = false;
  for (int step = 0; step < 400; ++step) {
    const StepResult result = Step(fit, data, work, 1);
    ASSERT_TRUE(result.ok()) << result.message;
    for (int i = 0; i < 5; ++i) {
      ASSERT_GE(fit.params[static_cast<size_t>(i)], fit.lowerBounds[static_cast<size_t>(i)]) << "step " << step;
      ASSERT_LE(fit.params[static_cast<size_t>(i)], fit.upperBounds[static_cast<size_t>(i)]) << "step " << step;
      touched = touched || BoundHit(fit, i) != BoundSide::kInside;
    }
  }
  EXPECT_TRUE(touched) << "the box never mattered";
  // The background and the height are held back by their bounds.
  EXPECT_EQ(fit.params[0], 0.15);
  EXPECT_EQ(BoundHit(fit, 0), BoundSide::kUpper);
  EXPECT_EQ(fit.params[2], 4.5);
  EXPECT_EQ(BoundHit(fit, 2), BoundSide::kUpper);
  EXPECT_NEAR(fit.params[3], 4, 0.02);
}

INSTANTIATE_TEST_SUITE_P(BothMethods, StaysInside,
                         ::testing::Values(StayCase{"LevenbergMarquardt", kMethodLevenbergMarquardt},
                                           StayCase{"Gridless", kMethodGridless}),
                         testing::DescribedCaseName{});

// A line whose slope is kept at most 1.5: the optimum is the slope on its
// bound and the intercept that is best for that slope, mean(y - 1.5 x).
TEST(Bounds, AnOptimumOutsideTheBoxEndsOnItsFaceAndIsFlagged) {
  const Data_Set set = Line();
  double intercept = 0;
  for (int i = 0; i < set.PointCount(0); ++i) intercept += set.ColumnData(1)[i] - 1.5 * set.ColumnData(0)[i];
  intercept /= set.PointCount(0);
  for (int method : {kMethodLevenbergMarquardt, kMethodGridless}) {
    FitRequest request;
    request.model = "Polynomial";
    request.method = method;
    request.params = {0.5, 0, 0.5};
    request.hold = {1};
    request.bounds = {{2, -kInf, 1.5}};
    request.maxIterations = 20000;
    const FitRunResult result = RunFit(set, request);
    ASSERT_TRUE(result.error.empty()) << result.error;
    EXPECT_TRUE(result.converged) << method;
    EXPECT_EQ(result.params[2], 1.5) << method;
    EXPECT_NEAR(result.params[0], intercept, 1e-7) << method;
    ASSERT_EQ(result.atBound.size(), 3u);
    EXPECT_EQ(result.atBound[0], BoundSide::kInside);
    EXPECT_EQ(result.atBound[2], BoundSide::kUpper);
    // The error at the bound is still reported; the flag says what it is worth.
    EXPECT_TRUE(result.errors[2].has_value()) << method;
  }
}

// Peaks from start values where the unbounded fit drives the width through
// zero and ends on a negative one (the width enters squared, so that is the
// peak's mirror image, useless to a reader of widths); kept >= 0 the same
// starts end on the peak with its positive width.
struct DriftCase {
  const char* name;
  const char* model;
  int method;
  std::vector<double> start;  // y0, x0, a0, off0, width0
};

std::string Describe(const DriftCase& c) { return c.name; }
void PrintTo(const DriftCase& c, std::ostream* out) { *out << Describe(c); }

class DriftingPeak : public ::testing::TestWithParam<DriftCase> {};

TEST_P(DriftingPeak, KeepingTheWidthPositiveFindsThePeak) {
  const DriftCase& c = GetParam();
  const Data_Set set = Peak(c.model, 5, 4, 0.6);
  FitRequest request;
  request.model = c.model;
  request.method = c.method;
  request.params = c.start;
  request.hold = {1};
  request.maxIterations = 20000;
  const FitRunResult free = RunFit(set, request);
  ASSERT_TRUE(free.error.empty()) << free.error;
  EXPECT_LT(free.params[4], 0) << "the unbounded fit no longer drifts: the case tests nothing";

  request.bounds = {{4, 0, kInf}};
  const FitRunResult bounded = RunFit(set, request);
  ASSERT_TRUE(bounded.error.empty()) << bounded.error;
  EXPECT_TRUE(bounded.converged);
  EXPECT_NEAR(bounded.params[2], 5, 0.02);
  EXPECT_NEAR(bounded.params[3], 4, 0.01);
  EXPECT_NEAR(bounded.params[4], 0.6, 0.01);
  EXPECT_EQ(bounded.atBound[4], BoundSide::kInside);
}

INSTANTIATE_TEST_SUITE_P(
    Peaks, DriftingPeak,
    ::testing::Values(DriftCase{"GaussianLmNarrowStart", "Gaussian", kMethodLevenbergMarquardt, {0, 0, 1, 4.2, 1}},
                      DriftCase{"GaussianLmWideStart", "Gaussian", kMethodLevenbergMarquardt, {0, 0, 5, 2, 3}},
                      DriftCase{"LorentzianLm", "Lorentian", kMethodLevenbergMarquardt, {0, 0, 5, 3.5, 3}},
                      DriftCase{"GaussianGridless", "Gaussian", kMethodGridless, {0, 0, 1, 3.5, 3}},
                      DriftCase{"LorentzianGridless", "Lorentian", kMethodGridless, {0, 0, 1, 7.5, 3}}),
    testing::DescribedCaseName{});

// Bounds the fit never reaches take exactly the steps of no bounds at all,
// and a fit with every bound infinite is no bounded fit.
TEST(Bounds, AnUntouchedBoxChangesNothingBitForBit) {
  const Data_Set set = Peak("Gaussian", 5, 4, 0.6);
  for (int method : {kMethodLevenbergMarquardt, kMethodGridless}) {
    FitRequest request;
    request.model = "Gaussian";
    request.method = method;
    request.params = {0.1, 0, 4, 4.3, 0.8};
    request.hold = {1};
    request.maxIterations = 20000;
    const FitRunResult free = RunFit(set, request);
    for (const auto& bounds : {std::vector<ParameterBounds>{{0, -1e3, 1e3}, {2, -1e3, 1e3}, {3, -50, 50}, {4, 0, 1e3}},
                               std::vector<ParameterBounds>{{4, -kInf, kInf}}}) {
      request.bounds = bounds;
      const FitRunResult boxed = RunFit(set, request);
      ASSERT_EQ(boxed.params.size(), free.params.size());
      EXPECT_EQ(std::memcmp(boxed.params.data(), free.params.data(), free.params.size() * sizeof(double)), 0) << method;
      EXPECT_EQ(boxed.iterations, free.iterations) << method;
      EXPECT_EQ(std::bit_cast<std::uint64_t>(boxed.chiSquare), std::bit_cast<std::uint64_t>(free.chiSquare)) << method;
    }
  }
}

// A profile never holds a parameter beyond its bounds: a side still below
// the level at the bound ends there, not reached; the other side is found.
TEST(Bounds, AProfileEndsAtTheBound) {
  const Data_Set set = Line();
  Fit fit;
  SelectModel(fit, "Polynomial", 1);
  fit.method = kMethodLevenbergMarquardt;
  fit.freeFlags[1] = 0;
  fit.params = {1, 0, 2};
  fit.attach(set.ColumnData(0), set.PointCount(0));
  const FitData data = FitDataOf(set);
  FitWorkspace work;
  ClearNumericError();
  for (int step = 0; step < 50; ++step) ASSERT_TRUE(Step(fit, data, work, 1).ok());
  // The slope's 95 % interval is about +-0.005 wide.
  const double lower = fit.params[2] - 1e-4;
  fit.lowerBounds[2] = lower;
  const ProfileConfidence profile = ProfileConfidenceIntervals(fit, data);
  ASSERT_TRUE(profile.ok()) << profile.error;
  ASSERT_EQ(profile.intervals.size(), 2u);
  const ProfileInterval& slope = profile.intervals[1];
  EXPECT_EQ(slope.lower.kind, IntervalEnd::Kind::kUnbounded);
  EXPECT_EQ(slope.lower.value, lower);
  EXPECT_EQ(slope.upper.kind, IntervalEnd::Kind::kFound);
  EXPECT_GT(slope.upper.value, fit.params[2] + 1e-3);
}

// Values out of their intervals (from a file, say) move inside when a run
// starts, held ones included.
TEST(Bounds, ARunStartsInsideItsIntervals) {
  const Data_Set set = Line();
  for (int method : {kMethodLevenbergMarquardt, kMethodGridless}) {
    Fit fit;
    SelectModel(fit, "Polynomial", 1);
    fit.method = method;
    fit.freeFlags[1] = 0;
    fit.params = {5, 0, 9};
    fit.lowerBounds[0] = 0, fit.upperBounds[0] = 2;  // as a graph file stores them
    fit.upperBounds[2] = 1;
    fit.freeFlags[0] = 0;
    fit.attach(set.ColumnData(0), set.PointCount(0));
    const FitData data = FitDataOf(set);
    FitWorkspace work;
    ClearNumericError();
    ASSERT_TRUE(Step(fit, data, work, 1).ok());
    EXPECT_EQ(fit.params[0], 2) << method;
    EXPECT_LE(fit.params[2], 1) << method;
  }
}

}  // namespace
}  // namespace zentrel
