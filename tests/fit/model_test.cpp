// Model values against hand-computed numbers, and every analytic
// derivative against Ridders' numerical derivative.

#include "fit/model.h"

#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/fit_parameters.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "fit/model_table.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

// x and y columns of n points.
FitData Columns(const double* x, const double* y, int n) {
  return {{x, static_cast<size_t>(n)}, {y, static_cast<size_t>(n)}, {}};
}

// The model of a fit without columns: only the spline needs any.
double Value(Fit& fit, double x) {
  FitModel model(fit, {});
  return model(x);
}

Fit MakeFit(int kind, int order, std::initializer_list<double> params) {
  Fit fit;
  fit.modelKind = kind;
  fit.order = order;
  int i = 0;
  for (double v : params) fit.params[static_cast<size_t>(i++)] = v;
  return fit;
}

TEST(ModelValue, ClosedFormsAtKnownPoints) {
  struct Case {
    const char* what;
    int kind, order;
    std::initializer_list<double> params;
    double x, expected;
  };
  const double e = std::exp(1.0);
  const Case cases[] = {
      {"exponential at 0", kExponential, 1, {1, 0, 2, 1}, 0, 3},
      {"exponential at 1", kExponential, 1, {1, 0, 2, 1}, 1, 1 + 2 / e},
      {"gaussian one width out", kGaussian, 1, {0, 0, 1, 0, 1}, 1, std::exp(-0.5)},
      {"lorentzian at half width", kLorentzian, 1, {0, 0, 3, 0, 2}, 1, 1.5},
      {"dual sided at u = 0", kDualSidedExponential, 1, {0, 0, 2.5, 1, 3}, 0, 2.5},
      {"dual sided before 0", kDualSidedExponential, 1, {0, 0, 2, 1, 4}, -2, 2 * std::exp(-0.5)},
      {"polynomial", kPolynomial, 3, {1, 1, 2, 3, 4}, 3, 1 + 2 * 2 + 3 * 4 + 4 * 8},
      {"squared exponential", kSquaredExponential, 1, {1, 0, 2, 1}, 0, 5},
      {"stretched", kStretchedExponential, 1, {0, 0, 2, 2, 2}, 2, 2 / e},
      {"power law", kPowerLaw, 1, {0, 0, 3, 1, 2}, 3, 12},
      {"mct with a = b at wmin", kMctPowerLaws, 1, {0.5, 0, 3, 1.5, 1.5, 2}, 2, 3.5},
  };
  for (const auto& c : cases) {
    Fit fit = MakeFit(c.kind, c.order, c.params);
    EXPECT_NEAR(Value(fit, c.x), c.expected, 1e-12) << c.what;
  }
  EXPECT_EQ(NumericErrorState().code, 0);
}

TEST(ModelValue, SquaredConvolvedGaussianCountsCrossTermsOnce) {
  // Order 2: a0^2 E00 + a0 a1 E01 + a1^2 E11 — the cross term once.
  Fit fit = MakeFit(kSquaredExpConvGaussian, 2, {0, 0, 0.1, 1, 2, 1, 3});
  const double u = 1.5, s = 0.1;
  auto pair = [&](double a, double b, double lambda) {
    return a * b * std::exp(-lambda * u) * std::erfc((lambda * s - u / s) / std::sqrt(2.0));
  };
  const double expected = pair(1, 1, 1.0) + pair(1, 1, 0.5 + 1.0 / 3) + pair(1, 1, 2.0 / 3);
  EXPECT_NEAR(Value(fit, u), expected, 1e-6);  // the erfc approximation is good to 1.2e-7
}

TEST(ModelValue, DualSidedConvolutionPeaksAtTheProductOfAmplitudes) {
  // With one term the single contribution is a0^2 at its peak position.
  const double tf = 2, tr = 0.5, t = 1.5, a = 1.7;
  Fit fit = MakeFit(kSquaredExpConvDualSided, 1, {0, 0, tf, tr, a, t});
  const double lambda = 2 / t, r = lambda - 1 / tf, q = lambda + 1 / tr;
  const double peak = std::log(tf * lambda * (1 - r / q)) / r;
  EXPECT_NEAR(Value(fit, peak), a * a, 1e-12);
  EXPECT_LT(Value(fit, peak + 0.3), a * a);
  EXPECT_LT(Value(fit, peak - 0.3), a * a);
}

TEST(ModelValue, SplineNeedsFourPointsAndHasFlatEnds) {
  const double x[] = {0, 1, 2, 3, 4}, y[] = {0, 1, 4, 9, 16};
  Fit fit = MakeFit(kCubicSpline, 1, {0.5, 0});
  FitModel three(fit, Columns(x, y, 3));
  EXPECT_EQ(three(1.5), 0.5);  // three points: y0 only
  EXPECT_FALSE(three.scope().spline.prepared);
  FitModel model(fit, Columns(x, y, 5));
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(model(x[i]), y[i] + 0.5, 1e-12);
  EXPECT_TRUE(model.scope().spline.prepared);
  // Zero slope at the ends.
  EXPECT_NEAR((model(1e-6) - model(0)) / 1e-6, 0, 1e-4);
  EXPECT_NEAR((model(4) - model(4 - 1e-6)) / 1e-6, 0, 1e-4);
}

TEST(ModelValue, ConvolutionWithASet) {
  Data_Set source;
  for (int i = 0; i < 4; ++i) source.SetValue(0, i, i), source.SetValue(1, i, 1);
  Fit fit = MakeFit(kExponential, 1, {0, 0, 1, 1});
  fit.setConvolutionSource(&source);
  EXPECT_EQ(Value(fit, 2.0), 0.0);  // fewer than five points

  // A narrow unit-area source convolved with a constant model is the constant.
  Data_Set spike;
  for (int i = 0; i < 5; ++i) spike.SetValue(0, i, i * 0.5), spike.SetValue(1, i, 1.0);
  Fit constant = MakeFit(kPolynomial, 1, {2, 0, 0});
  constant.setConvolutionSource(&spike);
  EXPECT_NEAR(Value(constant, 10.0), 2.0, 1e-12);
  // Only positive lags count: at x = 1 only the samples at 0 and 0.5 contribute.
  const double expected = 0.5 / 3 * (1 * 2 + 4 * 2) / 2.0;
  EXPECT_NEAR(Value(constant, 1.0), expected, 1e-12);
}

TEST(ModelValue, CustomFunctionWithoutEvaluatorIsZeroAndFlagged) {
  Fit fit = MakeFit(kCustomFunction, 1, {5, 0});
  EXPECT_EQ(Value(fit, 1.0), 0.0);
  EXPECT_EQ(fit.errorCode, kNoCustomEvaluatorError);
}

TEST(ModelValue, DomainErrorsReachTheErrorState) {
  Fit fit = MakeFit(kPowerLaw, 1, {0, 0, 1, 0, 0.5});
  ClearNumericError();
  Value(fit, -1.0);  // pow of a negative base, fractional exponent
  EXPECT_EQ(NumericErrorState().code, kDomainError);
  ClearNumericError();
}

// Parameter vectors inside each kind's domain: positive scales, u > 0.
std::array<double, kMaxFitParameters> RandomParameters(int kind, int order, std::mt19937& random) {
  std::uniform_real_distribution<double> amplitude(0.5, 2.0), scale(0.7, 3.0), shape(0.6, 1.8);
  std::array<double, kMaxFitParameters> p{};
  p[0] = amplitude(random);
  p[1] = -0.2;
  const int count = ParameterCountOf(kind, order, 0);
  for (int i = 2; i < count; ++i) p[static_cast<size_t>(i)] = scale(random);
  switch (kind) {
    case kStretchedExponential:
    case kSquaredStretchedExponential:
      for (int k = 0; k < order; ++k) p[static_cast<size_t>(4 + 3 * k)] = shape(random);
      break;
    case kPowerLaw:
      for (int k = 0; k < order; ++k) p[static_cast<size_t>(3 + 3 * k)] = -1.0 * shape(random);
      break;
    case kGaussPlusExpConvGaussian: p[3] = 0.5 * shape(random); break;
    default: break;
  }
  return p;
}

TEST(ModelDerivatives, AnalyticFormulasAgreeWithRidders) {
  std::mt19937 random(7);
  for (int kind = 0; kind < kModelKindCount; ++kind) {
    // The spline's x0 derivative is 0 by decree, not by calculus.
    if (FamilyOf(kind).derivatives == nullptr || kind == kCubicSpline) continue;
    for (int order = 1; order <= MaxOrder(kind); ++order) {
      Fit fit = MakeFit(kind, order, {});
      fit.params = RandomParameters(kind, order, random);
      const int count = ParameterCount(fit);
      FitModel model(fit, {});
      for (double x : {0.3, 1.1, 2.5}) {
        std::array<double, kMaxFitParameters> analytic{};
        ModelDerivatives(model.scope(), x, fit.params.data(), analytic.data());
        EXPECT_EQ(analytic[0], 1.0);
        for (int i = 1; i < count; ++i) {
          auto p = fit.params;
          const double h = p[static_cast<size_t>(i)] != 0 ? 0.1 * p[static_cast<size_t>(i)] : 1e-3;
          const double numeric = Ridders(model.scope(), i, x - p[1], p.data(), h);
          // The erfc approximation's own slope is not exactly the Gaussian
          // the analytic formulas use.
          const double relative = kind == kGaussPlusExpConvGaussian ? 2e-5 : 1e-6;
          const double tolerance = relative * std::max(1.0, std::fabs(numeric));
          EXPECT_NEAR(analytic[static_cast<size_t>(i)], numeric, tolerance)
              << ModelName(kind) << " order " << order << " parameter " << ParameterName(fit, i) << " x " << x;
        }
      }
      EXPECT_EQ(NumericErrorState().code, 0) << ModelName(kind);
    }
  }
}

TEST(ModelDerivatives, ValueAndDerivativesMatchTheSeparateCalls) {
  std::mt19937 random(11);
  for (int kind = 0; kind < kModelKindCount; ++kind) {
    if (kind == kCustomFunction || kind == kCubicSpline) continue;
    Fit fit = MakeFit(kind, 1, {});
    fit.params = RandomParameters(kind, 1, random);
    std::array<double, kMaxFitParameters> separate{}, together{};
    // Numerical derivatives may leave the last bit of a parameter changed,
    // so each call gets its own copy.
    auto p1 = fit.params, p2 = fit.params;
    FitModel model(fit, {});
    const double value = ModelValue(model.scope(), 1.3, fit.params.data());
    ModelDerivatives(model.scope(), 1.3, p1.data(), separate.data());
    const double combined = ModelValueAndDerivatives(model.scope(), 1.3, p2.data(), together.data());
    EXPECT_EQ(value, combined) << ModelName(kind);
    EXPECT_EQ(separate, together) << ModelName(kind);
  }
}

TEST(ModelDerivatives, PolynomialSlopeAndSplineZeros) {
  Fit poly = MakeFit(kPolynomial, 3, {0, 2, 5, 7, 11});
  FitModel polyModel(poly, {});
  EXPECT_DOUBLE_EQ(PartialDerivative(polyModel.scope(), 1, 0.0, poly.params.data()), -5);
  EXPECT_EQ(PartialDerivative(polyModel.scope(), 0, 0.0, poly.params.data()), 1);
  const double x[] = {0, 1, 2, 3}, y[] = {1, 2, 1, 2};
  Fit spline = MakeFit(kCubicSpline, 1, {0, 0});
  FitModel splineModel(spline, Columns(x, y, 4));
  std::array<double, kMaxFitParameters> d{};
  ModelDerivatives(splineModel.scope(), 1.5, spline.params.data(), d.data());
  EXPECT_EQ(d[0], 1);
  EXPECT_EQ(d[1], 0);
}

// At u = 0 (x = x0, where a decay starts) (u/t)^(b-1) has no value for
// b < 1; the slopes there are their limits, and raise no error.
TEST(ModelDerivatives, StretchedSlopesAtTheOrigin) {
  for (int kind : {kStretchedExponential, kSquaredStretchedExponential}) {
    for (double b : {0.5, 1.0, 1.5}) {
      Fit fit = MakeFit(kind, 1, {0.1, 0, 2, 1.5, b});
      FitModel model(fit, {});
      std::array<double, kMaxFitParameters> d{};
      ClearNumericError();
      ModelDerivatives(model.scope(), 0.0, fit.params.data(), d.data());
      EXPECT_EQ(NumericErrorState().code, 0) << ModelName(kind) << " b " << b;
      EXPECT_EQ(d[3], 0) << ModelName(kind) << " b " << b;  // t
      EXPECT_NEAR(d[4], 0, 1e-9) << ModelName(kind) << " b " << b;  // b
      EXPECT_TRUE(std::isfinite(d[2])) << ModelName(kind) << " b " << b;
      // x0: a/t from the right for b = 1 (times 2S for the square, S = 2).
      const double square = kind == kSquaredStretchedExponential ? 2 * 2.0 : 1.0;
      if (b > 1) EXPECT_EQ(d[1], 0);
      else if (b == 1) EXPECT_DOUBLE_EQ(d[1], square * 2 / 1.5);
      else EXPECT_TRUE(std::isinf(d[1]));
    }
  }
  ClearNumericError();
}

}  // namespace
}  // namespace zentrel
