#pragma once
// The fit record: one catalogue model attached to one data set. This holds
// the record's own state, copying and data binding; the catalogue, model
// evaluation and the engine that work on it live in fit/.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

enum FitWeighting : int { kWeightEqual = 0, kWeightInverseY = 1, kWeightInverseSigmaSquared = 2, kWeightInverseSqrtY = 3 };
enum FitMethod : int { kMethodGridless = 0, kMethodLevenbergMarquardt = 1 };

// Working state of the Levenberg-Marquardt engine, kept between steps and
// reallocated on every restart. Matrices are row-major P x P.
struct LevenbergMarquardtState {
  double lambda = -10.0;  // negative: the next step initialises
  double previousChiSquare = 1e30;
  int freeCount = 0;
  bool workspaceAllocated = false;
  bool matricesAllocated = false;
  std::vector<double> trialParams, beta, delta;
  std::vector<double> rightHandSide;
  std::vector<double> covariance, curvature;
};

class Fit {
 public:
  Fit();
  // Copies what a copied data set's fit keeps; iteration restarts, grid
  // steps and the data binding are not copied.
  Fit(const Fit& source);
  Fit& operator=(const Fit&) = delete;
  ~Fit();

  // Borrows a set's columns and restarts the engine; an unset range
  // (start == end) becomes x[0]..x[n-1].
  void bindData(const double* xValues, const double* yValues, const double* sigmaValues, int n);
  // The same without touching the range: for columns that moved or shrank.
  void rebindData(const double* xValues, const double* yValues, const double* sigmaValues, int n);
  // Orders the bounds and restarts the engine.
  void setRange(double a, double b);

  bool HasCustomEvaluator() const { return static_cast<bool>(customExpression.evaluator); }
  // The custom formula at X = u, its parameter Aj being params[j].
  double EvaluateCustom(const double* params, double u) const { return customExpression(params, u); }
  // Convolves the model with another set, or stops convolving when source is null.
  void setConvolutionSource(Data_Set* source);

  int modelKind = 0;
  int order = 1;
  std::string customEquation;
  std::string name = "Exponential";
  std::array<double, kMaxFitParameters> params{};
  std::array<double, kMaxFitParameters> steps{};
  std::array<int, kMaxFitParameters> freeFlags;
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
  Data_Set* convolutionSource = nullptr;  // not owned
  double convolutionArea = 0.0;
  double chiSquare = 0.0;
  int iterating = 0;
  int errorCode = 0;

  // Data binding: borrowed columns of the owning set.
  const double* x = nullptr;
  const double* y = nullptr;
  const double* sigma = nullptr;
  int pointCount = 0;

  // Model workspace: second derivatives of the spline through the bound data.
  bool splinePrepared = false;
  std::vector<double> splineSecondDerivatives;

  LevenbergMarquardtState lm;

  // Never shared by two fits of one run, copies included: lets a holder of
  // a fit (the fitting dialog) find out whether it still exists without
  // touching a pointer that may dangle.
  const std::uint64_t serial;
};

// Simpson's rule over a set's y values on its mean x spacing; 0 below 5 points.
double SimpsonArea(const Data_Set& set);

}  // namespace zentrel
