// Certified non-linear regression problems: every problem with one predictor
// (all but Nelson, which has two) is fitted from both certified start points with Levenberg-Marquardt, and
// the log relative error (LRE, the number of correct digits) of every
// parameter, standard deviation and the residual sum of squares is printed;
// a few are fitted with Gridless too.
// The reference files live beside the repository; without them the test
// skips.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fit/fit_run.h"
#include "model/data_set.h"
#include "fit/model_table.h"

namespace zentrel {
namespace {

// Beside the repository, as a user's clone does not have it.
const std::string kReferenceFolder = std::string(ZENTREL_SOURCE_DIR) + "/../shared/data/nist-strd";

// The models in the formula language: b1, b2, … are A0, A1, ….
const std::map<std::string, std::string> kFormulas = {
    {"Misra1a", "A0*(1-EXP(-A1*X))"},
    {"Chwirut1", "EXP(-A0*X)/(A1+A2*X)"},
    {"Chwirut2", "EXP(-A0*X)/(A1+A2*X)"},
    {"Lanczos1", "A0*EXP(-A1*X)+A2*EXP(-A3*X)+A4*EXP(-A5*X)"},
    {"Lanczos2", "A0*EXP(-A1*X)+A2*EXP(-A3*X)+A4*EXP(-A5*X)"},
    {"Lanczos3", "A0*EXP(-A1*X)+A2*EXP(-A3*X)+A4*EXP(-A5*X)"},
    {"Gauss1", "A0*EXP(-A1*X)+A2*EXP(-(X-A3)^2/A4^2)+A5*EXP(-(X-A6)^2/A7^2)"},
    {"Gauss2", "A0*EXP(-A1*X)+A2*EXP(-(X-A3)^2/A4^2)+A5*EXP(-(X-A6)^2/A7^2)"},
    {"Gauss3", "A0*EXP(-A1*X)+A2*EXP(-(X-A3)^2/A4^2)+A5*EXP(-(X-A6)^2/A7^2)"},
    {"DanWood", "A0*X^A1"},
    {"Misra1b", "A0*(1-(1+A1*X/2)^(-2))"},
    {"Kirby2", "(A0+A1*X+A2*X^2)/(1+A3*X+A4*X^2)"},
    {"Hahn1", "(A0+A1*X+A2*X^2+A3*X^3)/(1+A4*X+A5*X^2+A6*X^3)"},
    {"MGH17", "A0+A1*EXP(-X*A3)+A2*EXP(-X*A4)"},
    {"Misra1c", "A0*(1-(1+2*A1*X)^(-0.5))"},
    {"Misra1d", "A0*A1*X*((1+A1*X)^(-1))"},
    {"Roszman1", "A0-A1*X-ATAN(A2/(X-A3))/PI"},
    {"ENSO",
     "A0+A1*COS(2*PI*X/12)+A2*SIN(2*PI*X/12)+A4*COS(2*PI*X/A3)+A5*SIN(2*PI*X/A3)+A7*COS(2*PI*X/A6)+A8*SIN(2*PI*X/A6)"},
    {"MGH09", "A0*(X^2+X*A1)/(X^2+X*A2+A3)"},
    {"Thurber", "(A0+A1*X+A2*X^2+A3*X^3)/(1+A4*X+A5*X^2+A6*X^3)"},
    {"BoxBOD", "A0*(1-EXP(-A1*X))"},
    {"Rat42", "A0/(1+EXP(A1-A2*X))"},
    {"MGH10", "A0*EXP(A1/(X+A2))"},
    {"Eckerle4", "(A0/A1)*EXP(-0.5*((X-A2)/A1)^2)"},
    {"Rat43", "A0/((1+EXP(A1-A2*X))^(1/A3))"},
    {"Bennett5", "A0*(A1+X)^(-1/A2)"},
};

// Every problem from both starts must reach six digits in every parameter,
// except MGH10 from (2, 4e5, 2.5e4): the steps follow the curved valley
// toward b1 -> 0 and b2 -> large and never reach the certified basin. The
// same happens to the trust-region Levenberg-Marquardt of the usual
// libraries from this start (scipy's "lm" ends in NaN); reaching it needs an
// acceleration along the valley this engine does not have yet.
const std::set<std::string> kKnownMisses = {"MGH10/1"};

struct Problem {
  std::string name;
  std::vector<double> start1, start2, certified, certifiedSd;
  double residualSumOfSquares = 0;
  Data_Set data;
};

bool ReadProblem(const std::filesystem::path& path, Problem& problem) {
  std::ifstream in(path);
  std::string line;
  bool inData = false;
  int point = 0;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string first;
    words >> first;
    if (inData) {
      double y = 0, x = 0;
      std::istringstream values(line);
      if (values >> y >> x) {
        problem.data.SetValue(0, point, x);
        problem.data.SetValue(1, point, y);
        ++point;
      }
      continue;
    }
    if (first.size() >= 2 && first[0] == 'b' && std::isdigit(static_cast<unsigned char>(first[1]))) {
      std::string equals;
      double s1, s2, value, sd;
      if (words >> equals >> s1 >> s2 >> value >> sd) {
        problem.start1.push_back(s1);
        problem.start2.push_back(s2);
        problem.certified.push_back(value);
        problem.certifiedSd.push_back(sd);
      }
    } else if (line.find("Residual Sum of Squares:") != std::string::npos) {
      problem.residualSumOfSquares = std::stod(line.substr(line.find(':') + 1));
    } else if (first == "Data:" && line.find('y') != std::string::npos && line.find('x') != std::string::npos &&
               line.find("Response") == std::string::npos) {
      inData = true;
    }
  }
  // Kept in file order (some files list x unsorted or descending): a fit
  // uses every point whatever the order.
  return point > 0 && !problem.start1.empty();
}

double Lre(double estimate, double certified) {
  if (!std::isfinite(estimate)) return 0;
  const double relative = certified != 0 ? std::fabs(estimate - certified) / std::fabs(certified)
                                         : std::fabs(estimate);
  if (relative == 0) return 15;
  return std::clamp(-std::log10(relative), 0.0, 15.0);
}

TEST(CertifiedProblems, LevenbergMarquardtFromBothStarts) {
  if (!std::filesystem::is_directory(kReferenceFolder))
    GTEST_SKIP() << kReferenceFolder << " is absent: the certified problems are not checked";
  std::printf("%-9s %-6s %5s %8s %8s %8s %s\n", "problem", "start", "iter", "min LRE", "sd LRE", "RSS LRE",
              "converged");
  int passed[2] = {0, 0};
  for (const auto& [name, formula] : kFormulas) {
    Problem problem;
    if (!ReadProblem(std::filesystem::path(kReferenceFolder) / (name + ".dat"), problem)) {
      ADD_FAILURE() << "cannot read " << name;
      continue;
    }
    for (int start = 1; start <= 2; ++start) {
      FitRequest request;
      request.model = std::string(ModelName(kCustomFunction));
      request.equation = formula;
      request.params = {0, 0};
      const auto& values = start == 1 ? problem.start1 : problem.start2;
      request.params.insert(request.params.end(), values.begin(), values.end());
      request.hold = {0, 1};
      request.maxIterations = 3000;
      const FitRunResult result = RunFit(problem.data, request);
      double parameterLre = 15, sdLre = 15;
      for (size_t k = 0; k < problem.certified.size(); ++k) {
        const double estimate = k + 2 < result.params.size() ? result.params[k + 2] : NAN;
        parameterLre = std::min(parameterLre, Lre(estimate, problem.certified[k]));
        const auto& sd = k + 2 < result.errors.size() ? result.errors[k + 2] : std::nullopt;
        sdLre = std::min(sdLre, sd ? Lre(*sd, problem.certifiedSd[k]) : 0.0);
      }
      const double rssLre = Lre(result.chiSquare, problem.residualSumOfSquares);
      std::printf("%-9s %-6d %5d %8.1f %8.1f %8.1f %s%s\n", name.c_str(), start, result.iterations, parameterLre,
                  sdLre, rssLre, result.converged ? "yes" : "no",
                  result.error.empty() ? "" : (" (" + result.error + ")").c_str());
      const std::string key = name + "/" + std::to_string(start);
      if (parameterLre >= 6) ++passed[start - 1];
      if (!kKnownMisses.count(key)) {
        EXPECT_GE(parameterLre, 6) << key;
        // A sum of squares at the rounding level has no digits to compare.
        if (problem.residualSumOfSquares > 1e-20) {
          EXPECT_GE(rssLre, 6) << key;
        }
      }
    }
  }
  std::printf("LRE >= 6 in every parameter: %d of %zu from start 1, %d from start 2\n", passed[0], kFormulas.size(),
              passed[1]);
}

// Hahn1 with sign bounds: from both starts the steps push b5 (certified
// -5.8e-3) up to its bound 0 on the way, and the face b5 = 0 holds a
// constrained minimum (chi-square 8.5 against 1.5) where the projected
// steps stop, as they should: the gradient points out of the box there.
const std::set<std::string> kSignBoundMisses = {"Hahn1/1", "Hahn1/2"};

// The problems again with bounds that hold the certified values and both
// starts. Bounds 100 times wider than any of those values are never
// touched: the fit takes exactly the unbounded steps, bit for bit. Bounds
// at 0 on the side away from a parameter's sign (a positive parameter
// kept >= 0) may be touched on the way: the fit must still reach the
// certified values.
TEST(CertifiedProblems, LevenbergMarquardtWithBoundsAroundTheSolution) {
  if (!std::filesystem::is_directory(kReferenceFolder))
    GTEST_SKIP() << kReferenceFolder << " is absent: the certified problems are not checked";
  std::printf("%-9s %-6s %5s %8s %5s %8s\n", "problem", "start", "iter", "min LRE", "iter", "min LRE");
  std::printf("%-9s %-6s %14s %14s\n", "", "", "wide bounds", "sign bounds");
  int reached = 0, runs = 0;
  for (const auto& [name, formula] : kFormulas) {
    Problem problem;
    ASSERT_TRUE(ReadProblem(std::filesystem::path(kReferenceFolder) / (name + ".dat"), problem)) << name;
    for (int start = 1; start <= 2; ++start) {
      FitRequest request;
      request.model = std::string(ModelName(kCustomFunction));
      request.equation = formula;
      request.params = {0, 0};
      const auto& values = start == 1 ? problem.start1 : problem.start2;
      request.params.insert(request.params.end(), values.begin(), values.end());
      request.hold = {0, 1};
      request.maxIterations = 3000;
      const FitRunResult free = RunFit(problem.data, request);
      auto lowestLre = [&](const FitRunResult& result) {
        double lre = 15;
        for (size_t k = 0; k < problem.certified.size(); ++k)
          lre = std::min(lre, Lre(k + 2 < result.params.size() ? result.params[k + 2] : NAN, problem.certified[k]));
        return lre;
      };
      const std::string key = name + "/" + std::to_string(start);

      FitRequest wide = request;
      FitRequest sign = request;
      for (size_t k = 0; k < problem.certified.size(); ++k) {
        const double c = problem.certified[k];
        const double reach = 100 * std::max({std::fabs(c), std::fabs(problem.start1[k]), std::fabs(problem.start2[k])}) + 1;
        wide.bounds.push_back({static_cast<int>(k) + 2, -reach, reach});
        const bool positive = c > 0 && values[k] > 0, negative = c < 0 && values[k] < 0;
        if (positive) sign.bounds.push_back({static_cast<int>(k) + 2, 0, HUGE_VAL});
        if (negative) sign.bounds.push_back({static_cast<int>(k) + 2, -HUGE_VAL, 0});
      }
      const FitRunResult wideResult = RunFit(problem.data, wide);
      ASSERT_EQ(wideResult.params.size(), free.params.size()) << key;
      for (size_t k = 0; k < free.params.size(); ++k)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(wideResult.params[k]), std::bit_cast<std::uint64_t>(free.params[k])) << key;
      EXPECT_EQ(wideResult.iterations, free.iterations) << key;

      const FitRunResult signResult = RunFit(problem.data, sign);
      const double signLre = lowestLre(signResult);
      for (size_t k = 0; k < signResult.params.size(); ++k)
        for (const ParameterBounds& b : sign.bounds)
          if (b.index == static_cast<int>(k)) {
            EXPECT_GE(signResult.params[k], b.lower) << key;
            EXPECT_LE(signResult.params[k], b.upper) << key;
          }
      std::printf("%-9s %-6d %5d %8.1f %5d %8.1f\n", name.c_str(), start, wideResult.iterations, lowestLre(wideResult),
                  signResult.iterations, signLre);
      ++runs;
      if (signLre >= 6) ++reached;
      if (!kKnownMisses.count(key) && !kSignBoundMisses.count(key)) {
        EXPECT_GE(signLre, 6) << key << " with sign bounds";
      }
    }
  }
  std::printf("sign bounds: LRE >= 6 in every parameter in %d of %d runs\n", reached, runs);
}

// Gridless from starts where its first sweeps' steps overshoot a narrow
// valley on every line, so that sweeps stand still before they find the
// way down: it must not call that convergence.
TEST(CertifiedProblems, GridlessDoesNotStopOnACoarseStandstill) {
  if (!std::filesystem::is_directory(kReferenceFolder))
    GTEST_SKIP() << kReferenceFolder << " is absent: the certified problems are not checked";
  for (const char* name : {"Misra1c", "Misra1d", "MGH10"}) {
    Problem problem;
    ASSERT_TRUE(ReadProblem(std::filesystem::path(kReferenceFolder) / (std::string(name) + ".dat"), problem));
    FitRequest request;
    request.model = std::string(ModelName(kCustomFunction));
    request.equation = kFormulas.at(name);
    request.method = kMethodGridless;
    request.params = {0, 0};
    request.params.insert(request.params.end(), problem.start2.begin(), problem.start2.end());
    request.hold = {0, 1};
    request.maxIterations = 20000;
    const FitRunResult result = RunFit(problem.data, request);
    ASSERT_TRUE(result.error.empty()) << name << ": " << result.error;
    EXPECT_TRUE(result.converged) << name;
    for (size_t k = 0; k < problem.certified.size(); ++k)
      EXPECT_GE(Lre(result.params[k + 2], problem.certified[k]), 6) << name << " b" << k + 1;
  }
}

}  // namespace
}  // namespace zentrel
