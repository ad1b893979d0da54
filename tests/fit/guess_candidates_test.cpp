// The candidate pool's solve for squared sums: with the times fixed the
// amplitudes come out of their products, with the signs the data shows
// (or one sign when asked), and held amplitudes or an admission rule
// are respected.

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/guess/candidates.h"
#include "fit/model.h"
#include "fit/model_table.h"

namespace zentrel {
namespace {

using guess::Candidates;
using guess::GuessPoints;
using guess::Params;

// y0, x0, tf, tr, a0, t0, a1, t1 of the squared sum convolved with a
// dual-sided exponential, two terms.
Fit TwoTermFit(const std::vector<double>& params) {
  Fit fit;
  SelectModel(fit, std::string(ModelName(kSquaredExpConvDualSided)), 2);
  for (size_t i = 0; i < params.size(); ++i) fit.params[i] = params[i];
  return fit;
}

GuessPoints Sampled(Fit& fit) {
  GuessPoints points;
  FitModel model(fit, FitData{});
  for (int i = 0; i < 150; ++i) {
    const double x = -3 + 30.0 * i / 149;
    points.x.push_back(x);
    points.y.push_back(model(x));
  }
  return points;
}

Params WithAmplitudes(const std::vector<double>& truth, double a0, double a1) {
  Params p{};
  for (size_t i = 0; i < truth.size(); ++i) p[i] = truth[i];
  p[0] = 0;
  p[4] = a0;
  p[6] = a1;
  return p;
}

TEST(GuessCandidates, SolvesAmplitudesFromTheirProducts) {
  struct Case {
    const char* label;
    double a0, a1;
    bool oneSign;
    double expected0, expected1;  // up to a common sign
  };
  const Case cases[] = {
      {"like signs", 1.2, 0.8, false, 1.2, 0.8},
      {"opposite signs", 1.2, -0.6, false, 1.2, -0.6},
      {"opposite signs, asked for one", 1.2, -0.6, true, NAN, NAN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::vector<double> truth{0.05, 0.1, 0.3, 0.5, c.a0, 2, c.a1, 10};
    Fit fit = TwoTermFit(truth);
    const GuessPoints points = Sampled(fit);
    Candidates pool(TwoTermFit({0, 0.1}), FitData{}, points);
    pool.solveAmplitudesAsProducts(4, 2, 2, c.oneSign);
    ASSERT_TRUE(pool.propose(WithAmplitudes(truth, 0.3, 0.3), {0}).has_value());
    const Params& best = pool.best();
    if (c.oneSign) {
      EXPECT_GE(best[4] * best[6], 0);
      continue;
    }
    const double sign = best[4] >= 0 ? 1.0 : -1.0;
    EXPECT_NEAR(sign * best[4], c.expected0, 1e-6);
    EXPECT_NEAR(sign * best[6], c.expected1, 1e-6);
    EXPECT_NEAR(best[0], 0.05, 1e-8);
    EXPECT_LT(pool.bestChiSquare(), 1e-12);
  }
}

TEST(GuessCandidates, HeldAmplitudeAndAdmissionRuleAreRespected) {
  const std::vector<double> truth{0.05, 0.1, 0.3, 0.5, 1.2, 2, 0.8, 10};
  Fit fit = TwoTermFit(truth);
  const GuessPoints points = Sampled(fit);

  Fit held = TwoTermFit({0, 0.1, 0, 0, 0.5});
  held.freeFlags[4] = 0;
  Candidates withHeld(held, FitData{}, points);
  withHeld.solveAmplitudesAsProducts(4, 2, 2);
  ASSERT_TRUE(withHeld.propose(WithAmplitudes(truth, 0.3, 0.3), {0}).has_value());
  EXPECT_EQ(withHeld.best()[4], 0.5);  // the held value, not the solved one
  EXPECT_EQ(withHeld.best()[6], 0.3);  // left as proposed

  Candidates ruled(TwoTermFit({0, 0.1}), FitData{}, points);
  ruled.solveAmplitudesAsProducts(4, 2, 2);
  ruled.admitOnly([](const Params& p) { return p[2] < 0.2; });
  EXPECT_FALSE(ruled.propose(WithAmplitudes(truth, 0.3, 0.3), {0}).has_value());
  EXPECT_FALSE(ruled.found());
}

}  // namespace
}  // namespace zentrel
