#include "fit/fit_run.h"

#include <cmath>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "model/data_set.h"

namespace zentrel {
namespace {

Data_Set Decay(double amplitude, double time) {
  Data_Set set;
  for (int i = 0; i < 60; ++i) {
    const double x = 0.1 * i;
    set.SetValue(0, i, x);
    set.SetValue(1, i, amplitude * std::exp(-x / time) + 0.3 + 0.002 * std::cos(11.0 * i));
  }
  return set;
}

FitRequest ExponentialRequest() {
  FitRequest request;
  request.params = {0, 0, 1, 1};
  request.hold = {1};
  return request;
}

TEST(RunFit, ConvergesAndReportsErrorsForFreeParametersOnly) {
  const FitRunResult result = RunFit(Decay(2, 1.5), ExponentialRequest());
  ASSERT_TRUE(result.error.empty()) << result.error;
  EXPECT_TRUE(result.converged);
  EXPECT_NEAR(result.params[2], 2, 0.01);
  EXPECT_NEAR(result.params[3], 1.5, 0.01);
  EXPECT_FALSE(result.errors[1].has_value());
  EXPECT_TRUE(result.errors[2].has_value());
  EXPECT_EQ(result.names, (std::vector<std::string>{"y0", "x0", "a0", "t0"}));
  EXPECT_EQ(result.points, 60);
}

TEST(RunFit, GridlessConvergesToo) {
  FitRequest request = ExponentialRequest();
  request.method = kMethodGridless;
  request.params = {0.2, 0, 1.8, 1.2};
  request.maxIterations = 5000;
  const FitRunResult result = RunFit(Decay(2, 1.5), request);
  ASSERT_TRUE(result.error.empty()) << result.error;
  EXPECT_TRUE(result.converged);
  EXPECT_NEAR(result.params[3], 1.5, 0.02);
}

TEST(RunFit, BadRequestsAndFailuresAreReported) {
  FitRequest request = ExponentialRequest();
  request.model = "exponential";
  EXPECT_EQ(RunFit(Decay(1, 1), request).error, "unknown model 'exponential'");
  request = ExponentialRequest();
  request.model = "Custom function";
  EXPECT_EQ(RunFit(Decay(1, 1), request).error, "a custom function needs an equation");
  request.equation = "A0*(X";
  EXPECT_FALSE(RunFit(Decay(1, 1), request).error.empty());
  request = ExponentialRequest();
  request.range = std::make_pair(100.0, 200.0);  // no point in range
  EXPECT_FALSE(RunFit(Decay(1, 1), request).error.empty());
  EXPECT_EQ(RunFit(Data_Set(), ExponentialRequest()).error, "the file holds no points");
}

TEST(RunFit, ThreadsGiveTheSameResultsAsOneByOne) {
  std::vector<Data_Set> sets;
  for (int k = 0; k < 6; ++k) sets.push_back(Decay(1 + k, 0.5 + 0.3 * k));
  FitRequest request = ExponentialRequest();
  request.model = "Custom function";
  request.equation = "A0*EXP(-X/A1)";
  request.params = {0, 0, 1, 1};
  std::vector<FitRunResult> alone, together(sets.size());
  for (const auto& set : sets) alone.push_back(RunFit(set, request));
  std::vector<std::thread> threads;
  for (size_t k = 0; k < sets.size(); ++k)
    threads.emplace_back([&, k] { together[k] = RunFit(sets[k], request); });
  for (auto& thread : threads) thread.join();
  for (size_t k = 0; k < sets.size(); ++k) {
    ASSERT_TRUE(alone[k].error.empty()) << alone[k].error;
    EXPECT_EQ(alone[k].params, together[k].params) << k;
    EXPECT_EQ(alone[k].chiSquare, together[k].chiSquare) << k;
    EXPECT_EQ(alone[k].iterations, together[k].iterations) << k;
  }
}

}  // namespace
}  // namespace zentrel
