// Guessing start values: what each family's guess reads off clean data,
// the messages when nothing can be guessed, held parameters, and that no
// data at all makes a guess come out as NaN or infinity.

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/fit_data.h"
#include "fit/fit_run.h"
#include "fit/guess/decay_rates.h"
#include "fit/guess/least_squares.h"
#include "fit/guess/start_values.h"
#include "fit/model.h"
#include "fit/model_table.h"
#include "model/data_set.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

struct Columns {
  std::vector<double> x, y;
  FitData data() const { return OrderedByX(x, y, {}); }
};

Fit MakeFit(int kind, int order, const std::vector<double>& params, std::vector<int> held = {1}) {
  Fit fit;
  SelectModel(fit, std::string(ModelName(kind)), order);
  for (size_t i = 0; i < params.size(); ++i) fit.params[i] = params[i];
  for (int index : held) fit.freeFlags[static_cast<size_t>(index)] = 0;
  return fit;
}

// n points of the fit's own model from `from` to `to`; the fit's range
// becomes theirs.
Columns Sample(Fit& fit, double from, double to, int n) {
  Columns c;
  FitModel model(fit, FitData{});
  for (int i = 0; i < n; ++i) {
    const double x = from + (to - from) * i / (n - 1);
    c.x.push_back(x);
    c.y.push_back(model(x));
  }
  fit.fitStart = from;
  fit.fitEnd = to;
  return c;
}

// Clean data: each guess should read its own family's parameters off it
// closely (the fit has little left to do).
struct CleanCase {
  const char* label;
  int kind, order;
  std::vector<double> truth;
  double from, to;
  double tolerance;  // relative, per parameter
};

TEST(GuessStartValues, ReadsCleanDataOfEveryGuessedFamily) {
  const CleanCase cases[] = {
      {"exponential", kExponential, 1, {0.5, 0, 3, 2}, 0, 10, 0.02},
      {"two exponentials, slowest first", kExponential, 2, {0.5, 0, 1.5, 4, 3, 0.5}, 0, 20, 0.05},
      {"growing exponential", kExponential, 1, {0, 0, 1, -4}, 0, 5, 0.02},
      {"polynomial", kPolynomial, 4, {1, 0, 2, -0.5, 0.25, -0.125}, -2, 3, 1e-8},
      {"gaussian", kGaussian, 1, {0.2, 0, 2, 4, 1.2}, 0, 10, 0.05},
      {"two gaussians", kGaussian, 2, {0.2, 0, 2, 4, 0.8, -1.5, 12, 1.5}, 0, 20, 0.05},
      {"lorentzian", kLorentzian, 1, {0.2, 0, 2, 5, 1.5}, 0, 10, 0.05},
      {"stretched", kStretchedExponential, 1, {0.1, 0, 2, 1.5, 0.7}, 0, 10, 0.05},
      {"squared exponential", kSquaredExponential, 1, {0.2, 0, 1.5, 2}, 0, 10, 0.05},
      {"power law", kPowerLaw, 1, {0.5, 0, 2, -2, 1.5}, 0, 10, 0.05},
      {"dual sided", kDualSidedExponential, 1, {0.1, 0.3, 2, 1.5, 0.7}, -5, 10, 0.05},
      {"exp conv gaussian", kExpConvGaussian, 1, {0.1, 0.2, 0.5, 2, 3}, -3, 20, 0.05},
      {"MCT power laws", kMctPowerLaws, 1, {0.2, 0, 0.5, 0.3, 0.5, 1}, 0.01, 100, 0.1},
  };
  for (const CleanCase& c : cases) {
    SCOPED_TRACE(c.label);
    // Positions are guessed where x0 places the curve; elsewhere x0 is held.
    const bool x0Free = c.kind == kDualSidedExponential || c.kind == kExpConvGaussian;
    Fit truth = MakeFit(c.kind, c.order, c.truth, {});
    Columns data = c.kind == kMctPowerLaws ? Columns{} : Sample(truth, c.from, c.to, 150);
    if (c.kind == kMctPowerLaws) {
      FitModel model(truth, FitData{});
      for (int i = 0; i < 150; ++i) {
        const double x = c.from * std::pow(c.to / c.from, i / 149.0);
        data.x.push_back(x);
        data.y.push_back(model(x));
      }
    }
    Fit fit = MakeFit(c.kind, c.order, {0, x0Free ? 0.0 : c.truth[1]}, x0Free ? std::vector<int>{} : std::vector<int>{1});
    fit.fitStart = c.from;
    fit.fitEnd = c.to;
    const GuessResult guessed = GuessStartValues(fit, data.data());
    ASSERT_TRUE(guessed.ok()) << guessed.message;
    for (size_t i = 0; i < c.truth.size(); ++i) {
      const double scale = std::max(std::fabs(c.truth[i]), 1.0);
      EXPECT_NEAR(guessed.params[i], c.truth[i], c.tolerance * scale) << "parameter " << i;
    }
  }
}

TEST(GuessStartValues, SaysWhyNothingWasGuessed) {
  struct Refusal {
    const char* label;
    int kind;
    std::vector<double> x, y;
    double x0;
    GuessStatus status;
    const char* message;
  };
  const std::vector<double> ramp{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, ys{9, 7, 6, 5, 4.5, 4, 3.8, 3.6, 3.5, 3.4};
  const Refusal refusals[] = {
      {"spline", kCubicSpline, ramp, ys, 0, GuessStatus::kNothingToGuess, "The cubic spline runs through the data"},
      {"custom", kCustomFunction, ramp, ys, 0, GuessStatus::kNothingToGuess, "type their start values in"},
      {"two points", kExponential, {0, 1}, {2, 1}, 0, GuessStatus::kTooFewPoints,
       "Too few points to guess start values: the fit range holds 2, the Exponential needs 3"},
      {"one x", kGaussian, {1, 1, 1, 1, 1, 1}, {1, 2, 3, 4, 5, 6}, 0, GuessStatus::kTooFewPoints,
       "every point of the fit range has the same x"},
      {"stretched before x0", kStretchedExponential, ramp, ys, 2, GuessStatus::kUnsuitableData,
       "The fit range starts at 0, before x0 = 2"},
      {"MCT at x0", kMctPowerLaws, ramp, ys, 0, GuessStatus::kUnsuitableData, "not beyond x0 = 0"},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.label);
    Fit fit = MakeFit(r.kind, 1, {0, r.x0});
    fit.fitStart = r.x.front();
    fit.fitEnd = r.x.back();
    const GuessResult guessed = GuessStartValues(fit, OrderedByX(r.x, r.y, {}));
    EXPECT_EQ(guessed.status, r.status);
    EXPECT_NE(guessed.message.find(r.message), std::string::npos) << guessed.message;
  }
}

TEST(GuessStartValues, HeldParametersKeepTheirValuesAndShapeTheRest) {
  // y0 held at the data's true floor; x0 held away from 0 moves the
  // amplitude's meaning, not the time.
  Fit truth = MakeFit(kExponential, 1, {0.7, 1, 3, 2}, {});
  const Columns data = Sample(truth, 1, 11, 120);
  Fit fit = MakeFit(kExponential, 1, {0.7, 1, 0, 0}, {0, 1});
  fit.fitStart = 1;
  fit.fitEnd = 11;
  const GuessResult guessed = GuessStartValues(fit, data.data());
  ASSERT_TRUE(guessed.ok()) << guessed.message;
  EXPECT_EQ(guessed.params[0], 0.7);
  EXPECT_EQ(guessed.params[1], 1.0);
  EXPECT_NEAR(guessed.params[2], 3, 0.05);
  EXPECT_NEAR(guessed.params[3], 2, 0.05);
  // A held time: the amplitude is fitted to it.
  Fit heldTime = MakeFit(kExponential, 1, {0, 1, 0, 2}, {1, 3});
  heldTime.fitStart = 1;
  heldTime.fitEnd = 11;
  const GuessResult withTime = GuessStartValues(heldTime, data.data());
  ASSERT_TRUE(withTime.ok());
  EXPECT_EQ(withTime.params[3], 2.0);
  EXPECT_NEAR(withTime.params[2], 3, 1e-6);
  EXPECT_NEAR(withTime.params[0], 0.7, 1e-6);
}

TEST(GuessStartValues, HeldAmplitudeOfASquaredSumLeavesTheOtherToTheSearch) {
  // With one amplitude held the products cannot be solved for: the other
  // amplitude is searched for, not left at 0, and the fit runs from there.
  const std::vector<double> truthParams{0.02, 0.1, 0.3, 0.5, 1.2, 2, 0.8, 10};
  Fit truth = MakeFit(kSquaredExpConvDualSided, 2, truthParams, {});
  const Columns data = Sample(truth, -3, 27, 150);
  Data_Set set;
  for (size_t i = 0; i < data.x.size(); ++i) {
    set.SetValue(0, static_cast<int>(i), data.x[i]);
    set.SetValue(1, static_cast<int>(i), data.y[i]);
  }
  FitRequest request;
  request.model = std::string(ModelName(kSquaredExpConvDualSided));
  request.order = 2;
  request.params = {0, 0, 0, 0, 1.2};
  request.hold = {4};
  request.guess = true;
  const FitRunResult result = RunFit(set, request);
  ASSERT_FALSE(result.failed()) << result.error;
  EXPECT_EQ(result.guessedStart[4], 1.2);
  EXPECT_GT(std::fabs(result.guessedStart[6]), 0.2);
}

TEST(GuessStartValues, ReadsOnlyTheFitRange) {
  Fit truth = MakeFit(kPolynomial, 1, {1, 0, 2}, {});
  Columns data = Sample(truth, 0, 10, 101);
  for (size_t i = 0; i < data.x.size(); ++i)
    if (data.x[i] > 5) data.y[i] = 1e6 * (i % 2 == 0 ? 1 : -1);
  Fit fit = MakeFit(kPolynomial, 1, {0, 0});
  fit.fitStart = 0;
  fit.fitEnd = 5;
  const GuessResult guessed = GuessStartValues(fit, data.data());
  ASSERT_TRUE(guessed.ok());
  EXPECT_NEAR(guessed.params[0], 1, 1e-9);
  EXPECT_NEAR(guessed.params[2], 2, 1e-9);
}

// Whatever the data, a guess is finite numbers or a message, and the
// numeric error state is as the caller left it.
TEST(GuessStartValues, NeverGivesNonFiniteValues) {
  const double huge = 1e300;
  std::vector<std::pair<const char*, std::vector<double>>> shapes;
  std::vector<double> x, zeros, constant, spike, enormous, alternating, steps;
  for (int i = 0; i < 40; ++i) {
    x.push_back(0.5 + i * 0.25);
    zeros.push_back(0);
    constant.push_back(3);
    spike.push_back(i == 17 ? 5 : 0);
    enormous.push_back(huge * (1 + i));
    alternating.push_back(i % 2 == 0 ? 1 : -1);
    steps.push_back(i < 20 ? -2 : 2);
  }
  shapes = {{"zeros", zeros},         {"constant", constant},       {"spike", spike},
            {"enormous", enormous},   {"alternating", alternating}, {"step", steps}};
  for (int kind = 0; kind < kModelKindCount; ++kind) {
    for (int order : {1, 2}) {
      if (order > MaxOrder(kind)) continue;
      for (const auto& [label, y] : shapes) {
        SCOPED_TRACE(std::string(ModelName(kind)) + " order " + std::to_string(order) + ", " + label);
        Fit fit = MakeFit(kind, order, {0, 0});
        fit.fitStart = x.front();
        fit.fitEnd = x.back();
        SetNumericError(kDomainError, "left by the caller");
        const GuessResult guessed = GuessStartValues(fit, OrderedByX(x, y, {}));
        EXPECT_EQ(NumericErrorState().code, kDomainError);
        EXPECT_EQ(NumericErrorState().message, "left by the caller");
        if (!guessed.ok()) {
          EXPECT_FALSE(guessed.message.empty());
          continue;
        }
        for (double v : guessed.params) EXPECT_TRUE(std::isfinite(v));
      }
    }
  }
  ClearNumericError();
}

TEST(GuessStartValues, GuessesAConvolvedDecayThroughItsResponse) {
  Data_Set response;
  for (int i = 0; i < 41; ++i) {
    response.SetValue(0, i, i * 0.05);
    response.SetValue(1, i, std::exp(-0.5 * std::pow((i * 0.05 - 1) / 0.25, 2)));
  }
  Fit truth = MakeFit(kExponential, 1, {0.1, 0, 4, 2}, {});
  truth.setConvolutionSource(&response);
  const Columns data = Sample(truth, 0, 15, 301);
  Fit fit = MakeFit(kExponential, 1, {0, 0});
  fit.setConvolutionSource(&response);
  fit.fitStart = 0;
  fit.fitEnd = 15;
  const GuessResult guessed = GuessStartValues(fit, data.data());
  ASSERT_TRUE(guessed.ok()) << guessed.message;
  EXPECT_NEAR(guessed.params[3], 2, 0.1);
  EXPECT_NEAR(guessed.params[2], 4, 0.3);
  EXPECT_NEAR(guessed.params[0], 0.1, 0.05);
}

TEST(GuessHelpers, LeastSquaresSolvesAndRefusesDependentColumns) {
  const std::vector<double> a{1, 1, 1, 1}, b{0, 1, 2, 3}, c{0, 2, 4, 6};
  const std::vector<double> rhs{1, 3, 5, 7};
  const auto solved = guess::LeastSquares({a, b}, rhs);
  ASSERT_TRUE(solved);
  EXPECT_NEAR((*solved)[0], 1, 1e-12);
  EXPECT_NEAR((*solved)[1], 2, 1e-12);
  EXPECT_FALSE(guess::LeastSquares({b, c}, rhs));
  EXPECT_FALSE(guess::LeastSquares({a, {0, 0, 0, 0}}, rhs));
}

TEST(GuessHelpers, RootsAndRates) {
  // (x - 1)(x - 2)(x + 3) = x^3 - 7x + 6.
  auto roots = guess::RealRoots({6, -7, 0});
  ASSERT_EQ(roots.size(), 3u);
  std::sort(roots.begin(), roots.end());
  EXPECT_NEAR(roots[0], -3, 1e-9);
  EXPECT_NEAR(roots[1], 1, 1e-9);
  EXPECT_NEAR(roots[2], 2, 1e-9);
  EXPECT_TRUE(guess::RealRoots({1, 0}).empty());  // x^2 + 1
  std::vector<double> x, y, r;
  for (int i = 0; i < 400; ++i) {
    x.push_back(i * 0.05);
    y.push_back(0.3 + 2 * std::exp(-x.back() / 0.5) + 1.5 * std::exp(-x.back() / 4));
    r.push_back(y.back() - 0.3);
  }
  const auto integrated = guess::RatesByIntegration(x, y, 2);
  ASSERT_EQ(integrated.size(), 2u);
  EXPECT_NEAR(integrated[0], 0.25, 0.01);
  EXPECT_NEAR(integrated[1], 2, 0.1);
  const auto peeled = guess::RatesByPeeling(x, r, 2, 1e-4);
  ASSERT_EQ(peeled.size(), 2u);
  EXPECT_NEAR(peeled[0], 0.25, 0.02);
  EXPECT_NEAR(peeled[1], 2, 0.3);
}

}  // namespace
}  // namespace zentrel
