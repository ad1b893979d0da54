#include "fit/global_fit.h"

#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/fit_bounds.h"
#include "fit/global_fit_run.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

// y0 + a0 exp(-x/t0) + a1 exp(-x/t1) with Gaussian noise of a fixed seed.
struct DecayShape {
  double y0, a0, a1, noise;
  int points;
};
constexpr double kFastLifetime = 0.8;
constexpr double kSlowLifetime = 3.0;

Data_Set Decay(const DecayShape& shape, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  Data_Set set;
  for (int i = 0; i < shape.points; ++i) {
    const double x = 12.0 * i / (shape.points - 1);
    // Box-Muller on the engine's own numbers: the same noise on every library.
    const double gauss = std::sqrt(-2 * std::log(1 - uniform(random))) * std::cos(2 * M_PI * uniform(random));
    set.SetValue(0, i, x);
    set.SetValue(1, i,
                 shape.y0 + shape.a0 * std::exp(-x / kFastLifetime) + shape.a1 * std::exp(-x / kSlowLifetime) +
                     shape.noise * gauss);
  }
  return set;
}

const std::vector<DecayShape> kSeries = {{0.5, 5, 2, 0.02, 120}, {0.2, 3, 4, 0.05, 45}, {0.1, 1, 6, 0.03, 80}};

FitRequest DecayRequest() {
  FitRequest request;
  request.order = 2;
  request.params = {0, 0, 2, 0.5, 2, 5};
  request.hold = {1};
  return request;
}

struct Series {
  std::vector<Data_Set> sets;
  std::vector<const Data_Set*> pointers;
  std::vector<std::string> labels;
};

Series MakeSeries() {
  Series series;
  for (size_t k = 0; k < kSeries.size(); ++k) series.sets.push_back(Decay(kSeries[k], 17 + static_cast<unsigned>(k)));
  for (size_t k = 0; k < kSeries.size(); ++k) {
    series.pointers.push_back(&series.sets[k]);
    series.labels.push_back("set " + std::to_string(k));
  }
  return series;
}

GlobalFitRequest SharedLifetimes() {
  GlobalFitRequest request;
  request.fit = DecayRequest();
  request.shared = {3, 5};
  return request;
}

TEST(GlobalFit, SharedLifetimesAreRecoveredMorePreciselyThanByAnySingleFit) {
  const Series series = MakeSeries();
  const GlobalFitRunResult joint = RunGlobalFit(series.pointers, series.labels, SharedLifetimes());
  ASSERT_FALSE(joint.failed()) << joint.error;
  ASSERT_TRUE(joint.converged);
  EXPECT_EQ(joint.points, 120 + 45 + 80);
  EXPECT_EQ(joint.freeCount, 2 + 3 * 3);  // t0, t1 once; y0, a0, a1 per set
  ASSERT_EQ(joint.sets.size(), 3u);
  double partSum = 0;
  for (size_t k = 0; k < joint.sets.size(); ++k) {
    const FitRunResult& set = joint.sets[k];
    partSum += set.chiSquare;
    EXPECT_EQ(set.params[3], joint.sets[0].params[3]);
    EXPECT_EQ(set.params[5], joint.sets[0].params[5]);
    EXPECT_NEAR(set.params[2], kSeries[k].a0, 6 * *set.errors[2]);
    EXPECT_NEAR(set.params[4], kSeries[k].a1, 6 * *set.errors[4]);
    const FitRunResult single = RunFit(series.sets[k], DecayRequest());
    ASSERT_FALSE(single.failed()) << single.error;
    for (size_t lifetime : {3u, 5u}) {
      ASSERT_TRUE(single.errors[lifetime] && set.errors[lifetime]);
      EXPECT_LT(*set.errors[lifetime], *single.errors[lifetime]) << "set " << k << " parameter " << lifetime;
    }
  }
  EXPECT_NEAR(partSum, joint.chiSquare, 1e-12 * joint.chiSquare);
  const FitRunResult& first = joint.sets[0];
  EXPECT_NEAR(first.params[3], kFastLifetime, 4 * *first.errors[3]);
  EXPECT_NEAR(first.params[5], kSlowLifetime, 4 * *first.errors[5]);
  EXPECT_NEAR(first.params[3], kFastLifetime, 0.02);
  EXPECT_NEAR(first.params[5], kSlowLifetime, 0.05);
}

// A short response starting at the time origin, on its own grid.
Data_Set Response() {
  Data_Set response;
  for (int i = 0; i < 9; ++i) {
    const double x = 0.05 * i;
    response.SetValue(0, i, x);
    response.SetValue(1, i, std::exp(-0.5 * std::pow(x / 0.1, 2)));
  }
  return response;
}

TEST(GlobalFit, NothingSharedGivesEachSingleFitPlainOrConvolved) {
  const Series series = MakeSeries();
  const Data_Set response = Response();
  for (const Data_Set* convolveWith : {static_cast<const Data_Set*>(nullptr), &response}) {
    GlobalFitRequest request = SharedLifetimes();
    request.shared.clear();
    request.fit.convolveWith = convolveWith;
    // Near the answer: one damping for all sets takes another path than
    // each set's own, and from far away either may end in the other
    // minimum, the two exponentials swapped.
    request.fit.params = {0.3, 0, 3, 0.7, 3, 3.5};
    const GlobalFitRunResult joint = RunGlobalFit(series.pointers, series.labels, request);
    ASSERT_FALSE(joint.failed()) << joint.error;
    for (size_t k = 0; k < series.sets.size(); ++k) {
      const FitRunResult single = RunFit(series.sets[k], request.fit);
      ASSERT_FALSE(single.failed()) << single.error;
      for (size_t i = 0; i < single.params.size(); ++i)
        EXPECT_NEAR(joint.sets[k].params[i], single.params[i], 1e-6 * std::fabs(single.params[i]) + 1e-12)
            << "set " << k << " parameter " << i << (convolveWith ? " convolved" : "");
      EXPECT_NEAR(joint.sets[k].chiSquare, single.chiSquare, 1e-9 * single.chiSquare);
    }
  }
}

TEST(GlobalFit, SharedHeldParameterTakesTheFirstSetsValueEverywhere) {
  Series series = MakeSeries();
  std::vector<std::unique_ptr<Fit>> fits;
  std::vector<GlobalFitMember> members;
  for (size_t k = 0; k < series.sets.size(); ++k) {
    auto fit = std::make_unique<Fit>();
    SelectModel(*fit, "Exponential", 2);
    fit->method = kMethodLevenbergMarquardt;
    fit->params = {0, 0, 2, 0.9 + 0.1 * static_cast<double>(k), 2, 5};
    fit->freeFlags[1] = 0;
    fit->freeFlags[3] = k == 0 ? 0 : 1;  // the first set's flag decides
    fit->attach(series.sets[k].ColumnData(0), series.sets[k].DrawablePointCount());
    members.push_back({fit.get(), FitDataOf(series.sets[k]), series.labels[k]});
    fits.push_back(std::move(fit));
  }
  SharedFlags shared{};
  shared[3] = shared[5] = true;
  ASSERT_EQ(GlobalFitProblem(members, shared), "");
  GlobalFitWorkspace work;
  for (int i = 0; i < 200 && GlobalConvergence(work.lm) == Convergence::kNotYet; ++i)
    ASSERT_TRUE(GlobalStep(members, shared, work, 1).ok());
  EXPECT_NE(GlobalConvergence(work.lm), Convergence::kNotYet);
  EXPECT_EQ(work.layout.unknowns.size(), 1u + 3 * 3);  // t1 shared and free, t0 held
  for (const auto& fit : fits) {
    EXPECT_EQ(fit->params[3], 0.9);
    EXPECT_EQ(fit->freeFlags[3], 0);
    EXPECT_EQ(fit->params[5], fits[0]->params[5]);
    EXPECT_GT(fit->iterationCount, 0);
  }
  // A fit restarted alone (its set's columns changed) restarts the joint run.
  fits[2]->restart();
  ASSERT_TRUE(GlobalStep(members, shared, work, 1).ok());
  for (const auto& fit : fits) EXPECT_EQ(fit->iterationCount, 1);
  const auto errors = ComputeGlobalUncertainties(members, shared);
  ASSERT_TRUE(errors);
  for (const FitUncertainties& own : errors->members) {
    EXPECT_FALSE(own.errors[3].has_value());
    EXPECT_TRUE(own.errors[5].has_value());
  }
}

TEST(GlobalFit, UnusableSetsAreReportedByName) {
  const Series series = MakeSeries();
  struct Case {
    const char* what;
    std::vector<int> shared;
    std::pair<double, double> range;
    const char* error;
  };
  const std::vector<Case> cases = {
      {"two points for three own parameters", {3, 5}, {0.0, 0.3}, "set 1: the fit range holds 2 points, fewer than its 3 free parameters of its own"},
      {"no point at all", {3, 5}, {20.0, 30.0}, "set 1: the fit range holds no points"},
      {"a shared index beyond the model", {3, 9}, {0.0, 12.0}, "set 0: shared parameter index 9 is beyond the model's 6 parameters"},
  };
  for (const Case& c : cases) {
    // Only the second set gets the narrow range: fit it through the members directly.
    std::vector<std::unique_ptr<Fit>> fits;
    std::vector<GlobalFitMember> members;
    GlobalFitRequest request = SharedLifetimes();
    request.shared = c.shared;
    if (c.shared[1] >= 6) {
      EXPECT_EQ(RunGlobalFit(series.pointers, series.labels, request).error, c.error) << c.what;
      continue;
    }
    SharedFlags shared{};
    for (int i : c.shared) shared[static_cast<size_t>(i)] = true;
    for (size_t k = 0; k < series.sets.size(); ++k) {
      auto fit = std::make_unique<Fit>();
      SelectModel(*fit, "Exponential", 2);
      fit->method = kMethodLevenbergMarquardt;
      fit->freeFlags[1] = 0;
      fit->attach(series.sets[k].ColumnData(0), series.sets[k].DrawablePointCount());
      if (k == 1) fit->setRange(c.range.first, c.range.second);
      members.push_back({fit.get(), FitDataOf(series.sets[k]), series.labels[k]});
      fits.push_back(std::move(fit));
    }
    EXPECT_EQ(GlobalFitProblem(members, shared), c.error) << c.what;
  }
}

TEST(GlobalFit, BoundsOfSharedAndOwnParametersAreKept) {
  const Series series = MakeSeries();
  GlobalFitRequest request = SharedLifetimes();
  // The slow lifetime is really 3: its bound holds it at 2.5 in every set.
  request.fit.bounds = {{5, 0.1, 2.5}, {2, 0.0, 4.0}};
  const GlobalFitRunResult joint = RunGlobalFit(series.pointers, series.labels, request);
  ASSERT_FALSE(joint.failed()) << joint.error;
  EXPECT_TRUE(joint.converged);
  for (const FitRunResult& set : joint.sets) {
    EXPECT_EQ(set.params[5], 2.5);
    EXPECT_EQ(set.atBound[5], BoundSide::kUpper);
    EXPECT_LE(set.params[2], 4.0);
    EXPECT_GE(set.params[2], 0.0);
  }
  // A fitted response shift is not one of the joint unknowns: refused.
  GlobalFitRequest shifted = SharedLifetimes();
  const Data_Set response = Response();
  shifted.fit.convolveWith = &response;
  shifted.fit.freeShift = true;
  EXPECT_EQ(RunGlobalFit(series.pointers, series.labels, shifted).error,
            "set 0: a global fit holds the response's shift; hold it in every set");
  // The first set's a0 (really 5) is held at its upper bound; the others are inside.
  EXPECT_EQ(joint.sets[0].params[2], 4.0);
  EXPECT_LT(joint.sets[1].params[2], 4.0);
}

TEST(GlobalFit, JointGradientMatchesFiniteDifferencesAndSetsCoupleOnlyThroughSharedSlots) {
  Series series = MakeSeries();
  std::vector<std::unique_ptr<Fit>> fits;
  std::vector<GlobalFitMember> members;
  for (size_t k = 0; k < series.sets.size(); ++k) {
    auto fit = std::make_unique<Fit>();
    SelectModel(*fit, "Exponential", 2);
    fit->weighting = k == 2 ? kWeightInverseSqrtY : kWeightEqual;  // a weight that depends on the model
    fit->params = {0.3, 0, 3, 0.7, 3, 3.5};
    fit->freeFlags[1] = 0;
    fit->attach(series.sets[k].ColumnData(0), series.sets[k].DrawablePointCount());
    members.push_back({fit.get(), FitDataOf(series.sets[k]), series.labels[k]});
    fits.push_back(std::move(fit));
  }
  SharedFlags shared{};
  shared[3] = shared[5] = true;
  AlignSharedParameters(members, shared);
  const GlobalLayout layout = MakeGlobalLayout(members, shared);
  std::vector<double> joint = JointParameters(layout, members);
  for (size_t j = 0; j < joint.size(); ++j) joint[j] *= 1 + 0.01 * static_cast<double>(j);  // away from any symmetry
  GlobalFitWorkspace work;
  std::vector<double> curvature, gradient, unused1, unused2;
  const GlobalLinearisation at = LineariseGlobal(members, layout, joint, work, curvature, gradient);
  ASSERT_TRUE(at.usable);
  const size_t n = joint.size();
  for (size_t j = 0; j < n; ++j) {
    const double h = 1e-6 * std::max(1.0, std::fabs(joint[j]));
    std::vector<double> up = joint, down = joint;
    up[j] += h;
    down[j] -= h;
    const double slope = (LineariseGlobal(members, layout, up, work, unused1, unused2).chiSquare -
                          LineariseGlobal(members, layout, down, work, unused1, unused2).chiSquare) /
                         (2 * h);
    // d(chi2)/dp = 2 J^T r = -2 * gradient
    EXPECT_NEAR(-2 * gradient[j], slope, 1e-5 * std::max(1.0, std::fabs(slope))) << "slot " << j;
  }
  for (size_t j = 0; j < n; ++j) {
    for (size_t k = 0; k < n; ++k) {
      const int a = layout.unknowns[j].member, b = layout.unknowns[k].member;
      const double c = curvature[j * n + k];
      // Two sets' own parameters never meet in one residual; everything else does.
      const bool coupled = a < 0 || b < 0 || a == b;
      EXPECT_EQ(c != 0.0, coupled) << j << "," << k;
    }
  }
}

}  // namespace
}  // namespace zentrel
