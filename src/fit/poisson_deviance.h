#pragma once
// Poisson likelihood: the fit minimises the Poisson deviance
//   D = 2 Σ [f − y + y ln(y/f)]      (y ln(y/f) is 0 where y = 0)
// of counts y against model values f. Half its gradient is Σ (1 − y/f) ∂f/∂p
// and its expected curvature (the Fisher information) Σ (1/f) ∂f/∂p ∂f/∂pᵀ:
// the Gauss-Newton structure of least squares with weights 1/f, which the
// Levenberg-Marquardt engine accumulates point by point from PoissonTerm.

#include <span>
#include <string>

#include "fit/fit_data.h"
#include "fit/fit_statistics.h"
#include "model/fit.h"

namespace zentrel {

// One point's share of the deviance and of its linearisation.
struct PoissonTerm {
  double deviance = 0;  // d = 2 [f − y + y ln(y/f)]; +inf outside the model's domain
  double slope = 0;     // ½ ∂d/∂f = 1 − y/f
  double weight = 0;    // expected ½ ∂²d/∂f² = 1/f
  // False where f ≤ 0 and there are counts, or f < 0: no Poisson mean can
  // be 0 (with counts) or negative, so the deviance is +inf there.
  bool finite = true;
};

// The term for count y ≥ 0 and model value f. Where y = 0 and f = 0 the
// point adds nothing: its deviance is 0, its slope the one-sided 1 (f
// cannot go below 0) and its weight 0 (the curvature would be infinite).
PoissonTerm PoissonPointTerm(double y, double f);

// The deviance of counts y against model values f, both of one length:
// +inf when a term is.
double PoissonDeviance(std::span<const double> y, std::span<const double> f);

// Why the counts in the fit's range cannot be fitted by Poisson
// likelihood (a negative y, or one that is not a number); empty when they
// can, and for every other weighting.
std::string PoissonCountsProblem(const Fit& fit, const FitData& data);

// The message for a model value outside the domain at a point with count y.
std::string PoissonDomainMessage(double x, double y, double f);

// Goodness of fit by the deviance (points y, model values f, k free
// parameters): chi-square D, reduced D/ν, R² = 1 − D/D₀ with D₀ the
// deviance of the constant mean of y, AIC D + 2k, BIC D + k ln N (−2 ln L
// is D up to a constant of the data).
GoodnessOfFit PoissonGoodnessOfFit(std::span<const double> y, std::span<const double> f, int freeParameters);

}  // namespace zentrel
