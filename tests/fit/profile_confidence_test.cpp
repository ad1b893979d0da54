#include "fit/profile_confidence.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fit/fit_data.h"
#include "fit/fit_run.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

TEST(DeltaChiSquare, IsTheChiSquareQuantileWithOneDegreeOfFreedom) {
  EXPECT_EQ(DeltaChiSquareForLevel(0.683), 1.0);  // one standard deviation
  EXPECT_NEAR(DeltaChiSquareForLevel(0.95), 3.841458820694124, 1e-12);
  EXPECT_NEAR(DeltaChiSquareForLevel(0.99), 6.634896601021214, 1e-11);
  EXPECT_NEAR(DeltaChiSquareForLevel(0.5), 0.454936423119572, 1e-12);
}

Data_Set Line(bool withErrors) {
  Data_Set set;
  for (int i = 0; i < 30; ++i) {
    const double x = 0.25 * i;
    set.SetValue(0, i, x);
    set.SetValue(1, i, 2.0 + 0.8 * x + 0.15 * std::sin(2.3 * i) + 0.05 * std::cos(7.1 * i));
    if (withErrors) set.SetValue(2, i, 0.05 + 0.01 * (i % 4));
  }
  return set;
}

FitRequest LineRequest(int weighting, double level) {
  FitRequest request;
  request.model = "Polynomial";
  request.order = 1;
  request.params = {0, 0, 1};
  request.hold = {1};
  request.weighting = weighting;
  request.confidence = level;
  return request;
}

// For a model linear in its parameters the chi-square is a parabola in each
// of them, even profiled: the interval is the best value ± sqrt(Δχ²) times
// the standard error, which a straight line has in closed form.
TEST(ProfileConfidence, StraightLineIntervalsAreTheAnalyticOnes) {
  for (const bool absolute : {false, true}) {
    for (const double level : {0.683, 0.95}) {
      const Data_Set set = Line(absolute);
      const FitRunResult r =
          RunFit(set, LineRequest(absolute ? kWeightInverseSigmaSquared : kWeightEqual, level));
      ASSERT_TRUE(r.error.empty()) << r.error;
      ASSERT_TRUE(r.confidence && r.confidence->ok());
      double sw = 0, swx = 0, swxx = 0;
      const int n = set.DrawablePointCount();
      for (int i = 0; i < n; ++i) {
        const double x = set.GetValue(0, i);
        const double w = absolute ? 1.0 / std::pow(set.GetValue(2, i), 2) : 1.0;
        sw += w, swx += w * x, swxx += w * x * x;
      }
      const double d = sw * swxx - swx * swx;
      const double scale = absolute ? 1.0 : r.chiSquare / (n - 2);
      const double sigmaIntercept = std::sqrt(swxx / d * scale), sigmaSlope = std::sqrt(sw / d * scale);
      const double delta = DeltaChiSquareForLevel(level);
      EXPECT_EQ(r.confidence->scaled, !absolute);
      ASSERT_EQ(r.confidence->intervals.size(), 2u);
      for (const ProfileInterval& interval : r.confidence->intervals) {
        const double half = std::sqrt(delta) * (interval.parameter == 0 ? sigmaIntercept : sigmaSlope);
        SCOPED_TRACE(testing::Message() << "absolute " << absolute << " level " << level << " parameter "
                                        << interval.parameter);
        ASSERT_EQ(interval.lower.kind, IntervalEnd::Kind::kFound);
        ASSERT_EQ(interval.upper.kind, IntervalEnd::Kind::kFound);
        EXPECT_NEAR(interval.lower.value, interval.best - half, 1e-6 * half);
        EXPECT_NEAR(interval.upper.value, interval.best + half, 1e-6 * half);
      }
    }
  }
}

TEST(ProfileConfidence, ASideThatNeverReachesTheLevelIsUnbounded) {
  // A decay far slower than the data's span: any longer time fits as well.
  Data_Set set;
  for (int i = 0; i < 40; ++i) {
    const double x = 0.025 * i;
    set.SetValue(0, i, x);
    set.SetValue(1, i, std::exp(-x / 500.0) + 0.01 * std::sin(7.0 * i));
  }
  FitRequest request;
  request.params = {0, 0, 1, 100};
  request.hold = {0, 1};
  request.confidence = 0.95;
  const FitRunResult r = RunFit(set, request);
  ASSERT_TRUE(r.error.empty()) << r.error;
  ASSERT_TRUE(r.confidence && r.confidence->ok());
  const ProfileInterval& time = r.confidence->intervals.at(1);
  ASSERT_EQ(time.parameter, 3);
  EXPECT_EQ(time.upper.kind, IntervalEnd::Kind::kUnbounded);
  EXPECT_GT(time.upper.value, 1e6);  // how far it was followed
  EXPECT_EQ(time.lower.kind, IntervalEnd::Kind::kFound);
  EXPECT_LT(time.lower.value, time.best);
  EXPECT_GT(time.lower.value, 0);
}

TEST(ProfileConfidence, RefusesWhatCannotBeProfiledAndStopsOnCancel) {
  const Data_Set set = Line(false);
  const FitRunResult fitted = [&] {
    FitRequest request = LineRequest(kWeightEqual, 0.95);
    request.confidence.reset();
    request.keepFit = true;
    return RunFit(set, request);
  }();
  ASSERT_TRUE(fitted.fitted);
  const FitData data = FitDataOf(set);

  ProfileOptions badLevel;
  badLevel.level = 1.5;
  EXPECT_FALSE(ProfileConfidenceIntervals(*fitted.fitted, data, badLevel).error.empty());

  Fit held(*fitted.fitted);
  held.freeFlags.fill(0);
  EXPECT_EQ(ProfileConfidenceIntervals(held, data).error, "the fit has no free parameters");

  Fit narrow(*fitted.fitted);
  narrow.setRange(0, 0.25);  // two points for two free parameters
  EXPECT_NE(ProfileConfidenceIntervals(narrow, data).error.find("no degrees of freedom"), std::string::npos);

  int calls = 0;
  const ProfileConfidence cancelled =
      ProfileConfidenceIntervals(*fitted.fitted, data, {}, [&](double fraction) {
        EXPECT_GE(fraction, 0.0);
        EXPECT_LT(fraction, 1.0);
        return ++calls < 3;
      });
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_FALSE(cancelled.ok());
  EXPECT_EQ(calls, 3);
  EXPECT_TRUE(cancelled.intervals.empty());
}

// Reference intervals from bench/profile_confidence_reference.py (scipy's
// least_squares profiling of the same data files, which the script wrote).
// Generated once with that script; kept here so the tests need no scipy.
struct Reference {
  const char* file;
  const char* model;
  std::vector<double> start;
  std::vector<int> hold;
  double level;
  int parameter;
  double lower, upper;
};

const Reference kReferences[] = {
#include "profile_confidence_reference.inc"
};

std::vector<std::pair<double, double>> ReadColumns(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::pair<double, double>> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '%') continue;
    std::istringstream fields(line);
    double x = 0, y = 0;
    fields >> x >> y;
    rows.emplace_back(x, y);
  }
  return rows;
}

Data_Set ReadSet(const char* file) {
  const auto rows = ReadColumns(std::string(ZENTREL_SOURCE_DIR) + "/tests/fit/data/" + file);
  Data_Set set;
  for (size_t i = 0; i < rows.size(); ++i) {
    set.SetValue(0, static_cast<int>(i), rows[i].first);
    set.SetValue(1, static_cast<int>(i), rows[i].second);
  }
  return set;
}

TEST(ProfileConfidence, ASideWhereTheRefitFailsSaysSoAndHowFarItGot) {
  // A power law seen only on 4..10 with its offset free: towards an
  // exponent of 0 the curve goes flat and the other parameters can no
  // longer be fitted, before the level is reached.
  FitRequest request;
  request.model = "Power Law";
  request.params = {0.8, 0, 2, 0, -0.5};
  request.hold = {1};
  request.range = std::make_pair(4.0, 10.0);
  request.confidence = 0.95;
  const FitRunResult r = RunFit(ReadSet("profile_power_law.txt"), request);
  ASSERT_TRUE(r.error.empty()) << r.error;
  ASSERT_TRUE(r.confidence && r.confidence->ok());
  const ProfileInterval& exponent = r.confidence->intervals.back();
  ASSERT_EQ(exponent.parameter, 4);
  EXPECT_EQ(exponent.lower.kind, IntervalEnd::Kind::kFound);
  EXPECT_EQ(exponent.upper.kind, IntervalEnd::Kind::kFailed);
  EXPECT_FALSE(exponent.upper.reason.empty());
  // It walked up towards 0 without leaping across it.
  EXPECT_GT(exponent.upper.value, exponent.best);
  EXPECT_LT(exponent.upper.value, 0);
}

TEST(ProfileConfidence, AgreesWithTheScipyReferenceOnThreeModels) {
  for (const Reference& ref : kReferences) {
    SCOPED_TRACE(testing::Message() << ref.file << " level " << ref.level << " parameter " << ref.parameter);
    const auto rows = ReadColumns(std::string(ZENTREL_SOURCE_DIR) + "/tests/fit/data/" + ref.file);
    ASSERT_FALSE(rows.empty());
    Data_Set set;
    for (size_t i = 0; i < rows.size(); ++i) {
      set.SetValue(0, static_cast<int>(i), rows[i].first);
      set.SetValue(1, static_cast<int>(i), rows[i].second);
    }
    FitRequest request;
    request.model = ref.model;
    request.params = ref.start;
    request.hold = ref.hold;
    request.confidence = ref.level;
    const FitRunResult r = RunFit(set, request);
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_TRUE(r.confidence && r.confidence->ok());
    const ProfileInterval* found = nullptr;
    for (const auto& interval : r.confidence->intervals)
      if (interval.parameter == ref.parameter) found = &interval;
    ASSERT_NE(found, nullptr);
    const double half = 0.5 * (ref.upper - ref.lower);
    EXPECT_NEAR(found->lower.value, ref.lower, 1e-7 * half);
    EXPECT_NEAR(found->upper.value, ref.upper, 1e-7 * half);
  }
}

}  // namespace
}  // namespace zentrel
