#pragma once
// The fit record: one model attached to one data set, holding what is saved
// and shown (the settings and the last result). The model families, model
// evaluation and the engine with its per-run workspace live in fit/; the
// engine reads the owning set's columns at every step.

#include <array>
#include <cstdint>
#include <string>

#include "expr/expression.h"

namespace zentrel {

class Data_Set;

inline constexpr int kMaxFitParameters = 17;
// A custom formula's parameters follow y0 and x0, so it may use A0..A14.
inline constexpr int kMaxCustomParameters = kMaxFitParameters - 2;
// errorCode of a custom-function fit that has no compiled formula.
inline constexpr int kNoCustomEvaluatorError = -1212;
// errorCode after a singular Levenberg-Marquardt system.
inline constexpr int kSingularSystemError = 10;

// Stored in the graph file as they are, except Poisson likelihood, which the
// fit record stores as 1/Y and a trailing block marks (io/graph_file_poisson.h).
enum FitWeighting : int {
  kWeightEqual = 0,
  kWeightInverseY = 1,
  kWeightInverseSigmaSquared = 2,
  kWeightInverseSqrtY = 3,
  kWeightPoisson = 4,  // Poisson likelihood: minimises the deviance (fit/poisson_deviance.h)
};
enum FitMethod : int { kMethodGridless = 0, kMethodLevenbergMarquardt = 1 };

class Fit {
 public:
  Fit();
  // Copies what a copied data set's fit keeps; iteration restarts and grid
  // steps are not copied.
  Fit(const Fit& source);
  Fit& operator=(const Fit&) = delete;
  ~Fit();

  // The fit joins a set whose x column is x[0..n-1]: the engine restarts,
  // and an unset range (start == end) becomes the smallest to the largest x.
  void attach(const double* x, int n);
  // The engine starts afresh at the next step: the set's columns changed.
  void restart() { iterationCount = 0; }
  // Orders the bounds and restarts the engine.
  void setRange(double a, double b);

  bool HasCustomEvaluator() const { return static_cast<bool>(customExpression.evaluator); }
  // The custom formula at X = u, its parameter Aj being params[j].
  double EvaluateCustom(const double* params, double u) const { return customExpression(params, u); }
  // Convolves the model with another set, or stops convolving when source is null.
  void setConvolutionSource(const Data_Set* source);

  int modelKind = 0;
  int order = 1;
  std::string customEquation;
  std::string name = "Exponential";
  std::array<double, kMaxFitParameters> params{};
  std::array<double, kMaxFitParameters> steps{};
  std::array<int, kMaxFitParameters> freeFlags;
  // The interval each parameter is kept in (fit/fit_bounds.h); -inf..+inf
  // when it has none.
  std::array<double, kMaxFitParameters> lowerBounds;
  std::array<double, kMaxFitParameters> upperBounds;
  int weighting = kWeightEqual;
  int method = kMethodGridless;
  double fitStart = 0.0;
  double fitEnd = 0.0;
  int iterationCount = 0;
  int hidden = 0;
  std::uint32_t colour = 255;  // 0x00BBGGRR, red
  int customParameterCount = 0;
  // The compiled custom function: postfix text, constant pool, evaluator.
  Expression customExpression;
  int convolve = 0;
  const Data_Set* convolutionSource = nullptr;  // not owned
  double convolutionArea = 0.0;
  // The response's displacement along x of a convolved fit, in x units
  // (fit/response_shift.h): the response r(x) is used as r(x - shift). Not
  // one of the family's parameter slots; held at 0 unless asked for.
  double shift = 0.0;
  double shiftStep = 0.0;  // Gridless's grid step for it
  int shiftFree = 0;
  double chiSquare = 0.0;
  int iterating = 0;
  int errorCode = 0;

  // Never shared by two fits of one run, copies included: lets a holder of
  // a fit (the fitting dialog) find out whether it still exists without
  // touching a pointer that may dangle.
  const std::uint64_t serial;
};

// Simpson's rule over a set's y values on its mean x spacing; 0 below 5 points.
double SimpsonArea(const Data_Set& set);
// The weight of point i of n in Simpson's rule: 1, 4, 2, 4, …, 2, 4, 1.
inline double SimpsonWeight(int i, int n) { return (i == 0 || i == n - 1) ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0); }

}  // namespace zentrel
