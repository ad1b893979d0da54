#pragma once
// What every model kind computes: its value at x for a parameter vector, and
// the partial derivatives the Levenberg-Marquardt engine needs.

namespace zentrel {

class Fit;

// Model value at x for parameters p (17 doubles). Convolves with the fit's
// source set when the fit says so.
double ModelValue(Fit& fit, double x, const double* p);
// The fit's own parameters.
double ModelValue(Fit& fit, double x);

// out[0] = 1 (d/dy0); out[i] = PartialDerivative(i, x - p[1], p) for the
// other parameters. p is perturbed and restored where numerical derivatives
// are needed.
void ModelDerivatives(Fit& fit, double x, double* p, double* out);
// Value and derivatives together: the same numbers as ModelValue and
// ModelDerivatives, sharing the work of analytic kinds. With freeOnly, the
// derivatives of parameters whose flag is 0 may be left at 0.
double ModelValueAndDerivatives(Fit& fit, double x, double* p, double* out, const int* freeOnly = nullptr);
double PartialDerivative(Fit& fit, int index, double u, double* p);
// Ridders' extrapolation of central differences of ModelValue with respect to
// p[index], at the abscissa u + p[1], starting with step h (never 0).
double Ridders(Fit& fit, int index, double u, double* p, double h);
struct RiddersEstimate {
  double value;
  double error;  // the extrapolation's own error estimate
};
RiddersEstimate RiddersWithError(Fit& fit, int index, double u, double* p, double h);
// The derivative the engine uses where no formula exists: Ridders from step
// h, retried with smaller steps while its error estimate is poor or its
// probes raise math errors.
double NumericalDerivative(Fit& fit, int index, double u, double* p, double h);

// Second derivatives of the spline through (x, y) with zero slope at both
// ends. Empty for fewer than 4 points.
void PrepareSpline(Fit& fit);

}  // namespace zentrel
