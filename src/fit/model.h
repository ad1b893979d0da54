#pragma once
// What every model kind computes: its value at x for a parameter vector, and
// the partial derivatives the Levenberg-Marquardt engine needs. The family
// records (model_table.h) hold the formulas; this adds the convolution with
// another set and the numerical derivatives.

#include "fit/fast_convolution.h"
#include "fit/fit_data.h"
#include "fit/fit_workspace.h"

namespace zentrel {

class Fit;

// What evaluating a fit's model reads besides x and the parameters.
struct ModelScope {
  Fit& fit;              // kind, order, custom formula; errorCode when it has none
  FitData data;          // the fitted columns: the spline runs through them
  SplineCache& spline;   // the spline through data
  // Convolved values and derivatives channel by channel (fast_convolution.h);
  // null: every convolved value is summed directly.
  ConvolutionCache* convolution = nullptr;
  // The model itself even when the fit convolves it: what the convolution
  // sums over.
  bool termsOnly = false;
};

// A fit's model over its set's columns with a spline of its own: for
// drawing, sampling and arithmetic, which run no engine.
class FitModel {
 public:
  FitModel(Fit& fit, FitData data) : scope_{fit, data, spline_, &convolution_} {}
  FitModel(const FitModel&) = delete;
  FitModel& operator=(const FitModel&) = delete;
  ModelScope& scope() { return scope_; }
  double operator()(double x);

 private:
  SplineCache spline_;
  ConvolutionCache convolution_;
  ModelScope scope_;
};

// Model value at x for parameters p (17 doubles). Convolves with the fit's
// source set when the fit says so.
double ModelValue(ModelScope& scope, double x, const double* p);
// The fit's own parameters.
double ModelValue(ModelScope& scope, double x);
// The derivative of a convolved model at x with respect to the response's
// shift (fit/response_shift.h), for parameters p; 0 when the fit does not
// convolve.
double ShiftDerivative(ModelScope& scope, double x, const double* p);

// out[0] = 1 (d/dy0); out[i] = PartialDerivative(i, x - p[1], p) for the
// other parameters. p is perturbed and restored where numerical derivatives
// are needed.
void ModelDerivatives(ModelScope& scope, double x, double* p, double* out);
// Value and derivatives together: the same numbers as ModelValue and
// ModelDerivatives, sharing the work of analytic kinds. With freeOnly, the
// derivatives of parameters whose flag is 0 may be left at 0.
double ModelValueAndDerivatives(ModelScope& scope, double x, double* p, double* out, const int* freeOnly = nullptr);
double PartialDerivative(ModelScope& scope, int index, double u, double* p);
// Ridders' extrapolation of central differences of ModelValue with respect to
// p[index], at the abscissa u + p[1], starting with step h (never 0).
double Ridders(ModelScope& scope, int index, double u, double* p, double h);
struct RiddersEstimate {
  double value;
  double error;  // the extrapolation's own error estimate
};
RiddersEstimate RiddersWithError(ModelScope& scope, int index, double u, double* p, double h);
// The derivative the engine uses where no formula exists: Ridders from step
// h, retried with smaller steps while its error estimate is poor or its
// probes raise math errors.
double NumericalDerivative(ModelScope& scope, int index, double u, double* p, double h);

// Second derivatives of the spline through the scope's columns with zero
// slope at both ends; not prepared for fewer than 4 points.
void PrepareSpline(ModelScope& scope);

}  // namespace zentrel
