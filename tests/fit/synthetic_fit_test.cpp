// Every family of the catalogue fitted to its own noise-free data from a
// start a quarter off, by Levenberg-Marquardt and by Gridless: a method that
// cannot recover the parameters it generated the data from is broken.

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "case_names.h"
#include "fit/catalogue.h"
#include "fit/fit_run.h"
#include "fit/model.h"
#include "fit/model_table.h"
#include "model/data_set.h"
#include "model/fit.h"

namespace zentrel {
namespace {

struct Synthetic {
  const char* label;
  int kind;
  int order;
  std::vector<double> truth;  // y0, x0, then the family's parameters
  std::vector<int> hold;      // held at the truth
  double from, to;            // the abscissae: evenly spaced, or geometric when logGrid
  int points = 80;
  bool logGrid = false;
  const char* equation = "";  // the custom function's formula
  // Start values where "a quarter off" means nothing (a truth of 0);
  // empty: every free parameter times 1.25 or 0.75 by turns.
  std::vector<double> start = {};
};

struct Case {
  Synthetic family;
  int method;
};

std::string Describe(const Case& c) {
  return std::string(c.family.label) + (c.method == kMethodGridless ? " gridless" : " lm");
}
void PrintTo(const Case& c, std::ostream* out) { *out << Describe(c); }

// Orders 1 and 2 where two terms are told apart by the data; x0 is held
// where it only trades off against an amplitude or y0. Peaks sit around a
// held x0 in the middle of the data, so that a quarter off moves them by a
// fraction of their width rather than a fraction of the distance from 0.
const std::vector<Synthetic> kFamilies = {
    {"Exponential 1", kExponential, 1, {0.5, 0, 3, 2}, {1}, 0, 10},
    {"Exponential 2", kExponential, 2, {0.5, 0, 3, 0.5, 1.5, 4}, {1}, 0, 20, 120},
    {"Polynomial 1", kPolynomial, 1, {1, 0, 2}, {1}, -2, 3},
    {"Polynomial 2", kPolynomial, 2, {1, 0, 2, -0.5}, {1}, -2, 3},
    {"Gaussian 1", kGaussian, 1, {0.2, 4, 2, 1, 1.2}, {1}, 0, 10},
    {"Gaussian 2", kGaussian, 2, {0.2, 10, 2, -3, 1, 1, 3, 1.5}, {1}, 0, 20, 120},
    {"Lorentzian 1", kLorentzian, 1, {0.2, 4, 2, 1, 1.2}, {1}, 0, 10},
    {"Lorentzian 2", kLorentzian, 2, {0.2, 10, 2, -3, 1, 1, 3, 1.5}, {1}, 0, 20, 120},
    // From u = 0, where the slopes must not need (u/t)^(b-1).
    {"Stretched 1", kStretchedExponential, 1, {0.1, 0, 2, 1.5, 0.7}, {1}, 0, 10},
    {"Stretched 2", kStretchedExponential, 2, {0.1, 0, 2, 0.5, 0.8, 1, 5, 1.5}, {1}, 0, 25, 120},
    {"Squared exponential 1", kSquaredExponential, 1, {0.2, 0, 1.5, 2}, {1}, 0, 10},
    {"Squared exponential 2", kSquaredExponential, 2, {0.2, 0, 1.5, 0.5, 1, 4}, {1}, 0, 20, 120},
    {"Dual sided 1", kDualSidedExponential, 1, {0.1, 0, 2, 1.5, 0.7}, {1}, -5, 10},
    {"Dual sided 2", kDualSidedExponential, 2, {0.1, 0, 2, 0.5, 0.3, 1, 3, 2}, {1}, -8, 15, 120},
    // Swapping 1/tf with a term's 2/t gives the very same curve, so the
    // truth keeps them far apart: a start between the two could rightly
    // end on the mirror image.
    {"SquExp conv DSExp 1", kSquaredExpConvDualSided, 1, {0.1, 0, 0.3, 0.5, 2, 4}, {1}, -3, 20},
    {"SquExp conv DSExp 2", kSquaredExpConvDualSided, 2, {0.1, 0, 0.3, 0.5, 2, 2, 1, 8}, {1}, -3, 30, 120},
    {"Exp conv Gaussian 1", kExpConvGaussian, 1, {0.1, 0, 0.5, 2, 3}, {1}, -3, 20},
    {"Exp conv Gaussian 2", kExpConvGaussian, 2, {0.1, 0, 0.5, 2, 1, 1, 6}, {1}, -3, 30, 120},
    {"SquExp conv Gaussian 1", kSquaredExpConvGaussian, 1, {0.1, 0, 0.5, 2, 3}, {1}, -3, 20},
    {"SquExp conv Gaussian 2", kSquaredExpConvGaussian, 2, {0.1, 0, 0.5, 2, 1, 1, 6}, {1}, -3, 30, 120},
    {"Custom function", kCustomFunction, 1, {0.1, 0, 2, 1.5, 2}, {1}, 0.1, 10, 80, false, "A0/(1+(X/A1)^A2)"},
    {"Gauss plus exp 1", kGaussPlusExpConvGaussian, 1, {0.1, 0, 1, 0.5, 2, 3}, {1}, -3, 20},
    {"Gauss plus exp 2", kGaussPlusExpConvGaussian, 2, {0.1, 0, 1, 0.5, 2, 1, 1, 6}, {1}, -3, 30, 120},
    {"Power law 1", kPowerLaw, 1, {0.5, 0, 2, -2, 1.5}, {1}, 0, 10, 80},
    // Two offset power laws on one stretch of data are barely told apart;
    // two laws on the origin, one ruling each end of three decades, are.
    {"Power law 2", kPowerLaw, 2, {0.5, 0, 2, 0, -1, 0.5, 0, 1.5}, {1, 3, 6}, 0.05, 20, 120, true},
    {"Str exp squared 1", kSquaredStretchedExponential, 1, {0.1, 0, 1.5, 2, 0.7}, {1}, 0, 10},
    {"Str exp squared 2", kSquaredStretchedExponential, 2, {0.1, 0, 1.5, 0.5, 0.8, 1, 5, 1.5}, {1}, 0, 25, 120},
    // The spline runs through the data itself, so the answer is y0 = 0,
    // from a quarter of the data's scale away; its x0 has no slope by
    // design and is held.
    {"Cubic spline", kCubicSpline, 1, {0, 0}, {1}, 0, 10, 51, false, "", {0.25, 0}},
    {"MCT power laws", kMctPowerLaws, 1, {0.2, 0, 0.5, 0.3, 0.5, 1}, {1}, 0.01, 100, 80, true},
};

double Abscissa(const Synthetic& s, int i) {
  const double t = static_cast<double>(i) / (s.points - 1);
  return s.logGrid ? s.from * std::pow(s.to / s.from, t) : s.from + t * (s.to - s.from);
}

// The spline's data is a smooth curve of its own; every other family's is
// its model at the truth.
Data_Set SyntheticData(const Synthetic& s) {
  Data_Set set;
  Fit fit;
  SelectModel(fit, std::string(ModelName(s.kind)), s.order);
  if (s.kind == kCustomFunction) CompileCustomFunction(fit, s.equation);
  for (size_t i = 0; i < s.truth.size(); ++i) fit.params[i] = s.truth[i];
  FitModel model(fit, FitData{});
  for (int i = 0; i < s.points; ++i) {
    const double x = Abscissa(s, i);
    set.SetValue(0, i, x);
    set.SetValue(1, i, s.kind == kCubicSpline ? std::sin(x) + 0.3 * x : model(x));
  }
  return set;
}

FitRequest StartOff(const Synthetic& s, int method) {
  FitRequest request;
  request.model = std::string(ModelName(s.kind));
  request.order = s.order;
  request.equation = s.equation;
  request.method = method;
  request.hold = s.hold;
  request.params = s.truth;
  if (!s.start.empty()) {
    request.params = s.start;
  } else {
    bool up = true;
    for (size_t i = 0; i < s.truth.size(); ++i) {
      if (std::find(s.hold.begin(), s.hold.end(), static_cast<int>(i)) != s.hold.end()) continue;
      request.params[i] *= up ? 1.25 : 0.75;
      up = !up;
    }
  }
  // Gridless must settle within a couple of hundred sweeps.
  request.maxIterations = method == kMethodGridless ? 200 : 1000;
  return request;
}

class SyntheticFit : public ::testing::TestWithParam<Case> {};

TEST_P(SyntheticFit, RecoversTheTruthFromAQuarterOff) {
  const Synthetic& s = GetParam().family;
  const FitRunResult result = RunFit(SyntheticData(s), StartOff(s, GetParam().method));
  ASSERT_TRUE(result.error.empty()) << result.error;
  EXPECT_TRUE(result.converged) << "after " << result.iterations << " iterations";
  ASSERT_EQ(result.params.size(), s.truth.size());
  for (size_t i = 0; i < s.truth.size(); ++i) {
    const double scale = s.truth[i] != 0 ? std::fabs(s.truth[i]) : 1.0;
    EXPECT_NEAR(result.params[i], s.truth[i], 1e-8 * scale) << result.names[i];
  }
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (const Synthetic& s : kFamilies) {
    cases.push_back({s, kMethodLevenbergMarquardt});
    cases.push_back({s, kMethodGridless});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryFamily, SyntheticFit, ::testing::ValuesIn(Cases()), testing::DescribedCaseName{});

}  // namespace
}  // namespace zentrel
