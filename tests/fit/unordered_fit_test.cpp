// Fits of sets whose x are not ascending: every point in the range counts,
// so a shuffled or reversed copy fits exactly as the sorted set does, and
// whatever reads the fitted columns (spline, convolution, residuals,
// uncertainties) sees them in ascending x.

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/engine.h"
#include "fit/fit_curves.h"
#include "fit/fit_run.h"
#include "fit/model.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

constexpr int kPoints = 40;

double DecayAt(int i) { return 3 * std::exp(-0.1 * i / 2) + 0.5 + 0.01 * std::sin(7.0 * i); }

// The decay's points in the order order(i) says: point i of the set is
// sample order(i).
template <typename Order>
Data_Set Decay(Order order) {
  Data_Set set;
  for (int i = 0; i < kPoints; ++i) {
    const int k = order(i);
    set.SetValue(0, i, 0.1 * k);
    set.SetValue(1, i, DecayAt(k));
    set.SetValue(2, i, 0.01 + 0.001 * k);
  }
  return set;
}

Data_Set Sorted() { return Decay([](int i) { return i; }); }
Data_Set Reversed() { return Decay([](int i) { return kPoints - 1 - i; }); }
Data_Set Shuffled() { return Decay([](int i) { return (i * 17 + 5) % kPoints; }); }  // 17 is prime to 40

FitRequest DecayRequest(int method, int weighting = kWeightEqual) {
  FitRequest request;
  request.params = {0.4, 0, 2.5, 1.5};
  request.hold = {1};
  request.method = method;
  request.weighting = weighting;
  request.maxIterations = 5000;
  return request;
}

void ExpectSameFit(const FitRunResult& expected, const FitRunResult& actual, const char* what) {
  ASSERT_FALSE(actual.failed()) << what << ": " << actual.error;
  EXPECT_EQ(actual.points, expected.points) << what;
  EXPECT_EQ(actual.converged, expected.converged) << what;
  EXPECT_EQ(actual.iterations, expected.iterations) << what;
  ASSERT_EQ(actual.params.size(), expected.params.size()) << what;
  // The same points in the same (sorted) order: the same numbers exactly.
  for (size_t i = 0; i < expected.params.size(); ++i) {
    EXPECT_EQ(actual.params[i], expected.params[i]) << what << " parameter " << i;
    EXPECT_EQ(actual.errors[i], expected.errors[i]) << what << " error " << i;
  }
  EXPECT_EQ(actual.chiSquare, expected.chiSquare) << what;
}

TEST(UnorderedFit, ShuffledAndReversedSetsFitAsTheSortedSet) {
  for (int method : {kMethodLevenbergMarquardt, kMethodGridless}) {
    for (int weighting : {kWeightEqual, kWeightInverseSigmaSquared}) {
      SCOPED_TRACE(testing::Message() << "method " << method << ", weighting " << weighting);
      const FitRunResult sorted = RunFit(Sorted(), DecayRequest(method, weighting));
      ASSERT_FALSE(sorted.failed()) << sorted.error;
      EXPECT_TRUE(sorted.converged);
      EXPECT_NEAR(sorted.params[3], 2, 0.05);
      EXPECT_GT(sorted.chiSquare, 0);
      ExpectSameFit(sorted, RunFit(Shuffled(), DecayRequest(method, weighting)), "shuffled");
      ExpectSameFit(sorted, RunFit(Reversed(), DecayRequest(method, weighting)), "reversed");
    }
  }
}

TEST(UnorderedFit, ARangeCountsEveryPointInsideItWhateverTheOrder) {
  FitRequest request = DecayRequest(kMethodLevenbergMarquardt);
  request.range = {{1.0, 2.55}};  // samples 10..25
  const FitRunResult sorted = RunFit(Sorted(), request);
  ASSERT_FALSE(sorted.failed()) << sorted.error;
  EXPECT_EQ(sorted.points, 16);
  ExpectSameFit(sorted, RunFit(Shuffled(), request), "shuffled");
}

TEST(UnorderedFit, GridlessOnAReversedSetWithoutPointsInRangeFailsInsteadOfWandering) {
  FitRequest request = DecayRequest(kMethodGridless);
  request.range = {{100, 200}};
  const FitRunResult result = RunFit(Reversed(), request);
  EXPECT_TRUE(result.failed());
  EXPECT_EQ(result.error, "the fit range 100..200 holds no points");
  EXPECT_FALSE(result.converged);

  // Straight into the engine: no step, no parameter moved.
  ClearNumericError();
  const Data_Set set = Reversed();
  Fit fit;
  fit.method = kMethodGridless;
  fit.params = {0.4, 0, 2.5, 1.5};
  fit.setRange(100, 200);
  FitWorkspace work;
  EXPECT_EQ(Step(fit, FitDataOf(set), work, 3).status, StepStatus::kNoPoints);
  EXPECT_EQ(fit.params[2], 2.5);
}

TEST(UnorderedFit, UncertaintiesCountThePointsOfAShuffledSet) {
  ClearNumericError();
  for (const Data_Set& set : {Sorted(), Shuffled()}) {
    Fit fit;
    fit.params = {0.5, 0, 3, 2};
    fit.freeFlags[1] = 0;
    fit.attach(set.ColumnData(0), set.DrawablePointCount());
    fit.setRange(0.5, 1.0);  // samples 5..10
    fit.iterationCount = 1;
    const auto result = ComputeUncertainties(fit, FitDataOf(set));
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->points, 6);
  }
}

TEST(UnorderedFit, TheSplineRunsThroughAShuffledSetsOwnPoints) {
  ClearNumericError();
  const Data_Set set = Shuffled();
  Fit fit;
  SelectModel(fit, "Cubic Spline", 1);
  fit.freeFlags.fill(0);
  fit.attach(set.ColumnData(0), set.DrawablePointCount());
  FitWorkspace work;
  ASSERT_TRUE(Step(fit, FitDataOf(set), work, 1).ok());
  EXPECT_NEAR(fit.chiSquare, 0, 1e-20);

  // Drawn at the set's own points, in the set's order: the curve is the
  // data and the residuals vanish.
  fit.setRange(-1, 10);
  const std::vector<double> curve = FitCurveValues(fit, set);
  const std::vector<double> residuals = FitResidualValues(fit, set, 5.0, 1.0);
  for (int i = 0; i < kPoints; ++i) {
    EXPECT_NEAR(curve[static_cast<size_t>(i)], set.GetValue(1, i), 1e-12) << i;
    EXPECT_NEAR(residuals[static_cast<size_t>(i)], 5.0, 1e-12) << i;
  }

  // Between the points: the same spline as through the sorted set.
  const Data_Set sorted = Sorted();
  FitModel throughShuffled(fit, FitDataOf(set));
  FitModel throughSorted(fit, FitDataOf(sorted));
  EXPECT_EQ(throughShuffled(1.234), throughSorted(1.234));
}

TEST(UnorderedFit, AShuffledConvolutionSourceConvolvesAsTheSortedOne) {
  ClearNumericError();
  const Data_Set data = Sorted();
  Data_Set sortedSource = Sorted();
  Data_Set shuffledSource = Shuffled();
  Fit withSorted, withShuffled;
  for (Fit* fit : {&withSorted, &withShuffled}) fit->params = {0.1, 0, 1, 0.7};
  withSorted.setConvolutionSource(&sortedSource);
  withShuffled.setConvolutionSource(&shuffledSource);
  EXPECT_DOUBLE_EQ(withShuffled.convolutionArea, withSorted.convolutionArea);
  FitModel sorted(withSorted, FitDataOf(data));
  FitModel shuffled(withShuffled, FitDataOf(data));
  // On the source's grid (summed by FFT) and off it (summed directly),
  // values and derivatives.
  for (double x : {0.5, 1.7, 3.9, 1.73}) {
    EXPECT_NE(sorted(x), 0) << x;
    EXPECT_DOUBLE_EQ(shuffled(x), sorted(x)) << x;
    std::array<double, kMaxFitParameters> p = withSorted.params, dSorted{}, dShuffled{};
    const double vSorted = ModelValueAndDerivatives(sorted.scope(), x, p.data(), dSorted.data());
    const double vShuffled = ModelValueAndDerivatives(shuffled.scope(), x, p.data(), dShuffled.data());
    EXPECT_DOUBLE_EQ(vShuffled, vSorted) << x;
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(dShuffled[static_cast<size_t>(k)], dSorted[static_cast<size_t>(k)], 1e-9) << x << " " << k;
  }
}

// Reference problems whose files list x out of order.
const std::string kReferenceFolder = std::string(ZENTREL_SOURCE_DIR) + "/../shared/data/nist-strd";

// The y, x data lines of a certified problem, in file order.
Data_Set ReadCertifiedData(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line;
  bool inData = false;
  Data_Set set;
  int point = 0;
  while (std::getline(in, line)) {
    if (!inData) {
      inData = line.rfind("Data:", 0) == 0 && line.find('x') != std::string::npos &&
               line.find("Response") == std::string::npos;
      continue;
    }
    std::istringstream values(line);
    double y = 0, x = 0;
    if (values >> y >> x) {
      set.SetValue(0, point, x);
      set.SetValue(1, point, y);
      ++point;
    }
  }
  return set;
}

TEST(UnorderedFit, CertifiedProblemsWithUnsortedXFitOnAllTheirPoints) {
  if (!std::filesystem::is_directory(kReferenceFolder))
    GTEST_SKIP() << kReferenceFolder << " is absent: the unsorted certified files are not checked";
  struct Problem {
    const char* name;
    const char* formula;
    std::vector<double> start;
    int points;
  };
  const Problem problems[] = {
      {"Chwirut1", "EXP(-A0*X)/(A1+A2*X)", {0.1, 0.01, 0.02}, 214},
      {"Chwirut2", "EXP(-A0*X)/(A1+A2*X)", {0.1, 0.01, 0.02}, 54},
      {"MGH09", "A0*(X^2+X*A1)/(X^2+X*A2+A3)", {0.25, 0.39, 0.415, 0.39}, 11},  // descending
  };
  for (const Problem& problem : problems) {
    SCOPED_TRACE(problem.name);
    const Data_Set asFiled = ReadCertifiedData(std::filesystem::path(kReferenceFolder) / (std::string(problem.name) + ".dat"));
    ASSERT_EQ(asFiled.DrawablePointCount(), problem.points);
    ASSERT_FALSE(asFiled.IsSortedByX()) << "the file's x were expected out of order";
    Data_Set sorted(asFiled);
    sorted.SortByX();
    FitRequest request;
    request.model = "Custom function";
    request.equation = problem.formula;
    request.params = {0, 0};
    request.params.insert(request.params.end(), problem.start.begin(), problem.start.end());
    request.hold = {0, 1};
    request.maxIterations = 2000;
    const FitRunResult expected = RunFit(sorted, request);
    const FitRunResult actual = RunFit(asFiled, request);
    ASSERT_FALSE(actual.failed()) << actual.error;
    EXPECT_EQ(actual.points, problem.points);
    for (size_t i = 2; i < expected.params.size(); ++i)
      EXPECT_NEAR(actual.params[i], expected.params[i], 1e-9 * std::fabs(expected.params[i])) << i;
    EXPECT_NEAR(actual.chiSquare, expected.chiSquare, 1e-9 * expected.chiSquare);
  }
}

}  // namespace
}  // namespace zentrel
