#pragma once
// Numbers that tell how far a fit can be trusted, computed from what the fit
// leaves behind: the data, the weights, the residuals and the covariance of
// the free parameters. Pure functions: nothing here evaluates a model.

#include <span>
#include <vector>

namespace zentrel {

// Goodness of fit over the points in the range. With weights w_i, data y_i
// and model values f_i:
//   chi-square  χ² = Σ w_i (y_i − f_i)²
//   dof         ν = N − k (k free parameters)
//   reduced     χ²/ν (NaN without degrees of freedom)
//   R²          1 − χ² / Σ w_i (y_i − ȳ_w)², ȳ_w = Σ w_i y_i / Σ w_i
//               (NaN when the data do not vary)
//   AIC, BIC    absolute weights (1/σ² with y errors): χ² + 2k, χ² + k ln N;
//               relative weights: N ln(χ²/N) + 2k, N ln(χ²/N) + k ln N
struct GoodnessOfFit {
  double chiSquare = 0;
  int points = 0;
  int freeParameters = 0;
  int degreesOfFreedom = 0;
  double reducedChiSquare = 0;
  double rSquared = 0;
  double aic = 0;
  double bic = 0;
};

// y, model and weight hold one entry per point in the range.
GoodnessOfFit ComputeGoodnessOfFit(std::span<const double> y, std::span<const double> model,
                                   std::span<const double> weight, int freeParameters, bool absoluteWeights);

// The correlation matrix r_ij = C_ij / sqrt(C_ii C_jj) of an n x n
// row-major covariance; NaN where a variance is not positive.
std::vector<double> CorrelationMatrix(std::span<const double> covariance, int n);

// Correlations this strong mean the data cannot tell the two parameters
// apart: they are marked in every printout.
inline constexpr double kStrongCorrelation = 0.95;

// The Wald-Wolfowitz runs test of the residual signs in x order: too few
// runs mean the model misses a trend, too many an oscillation. Zero
// residuals are skipped. With n₊ positive and n₋ negative signs (N = n₊ + n₋)
//   expected runs  μ = 2 n₊ n₋ / N + 1
//   variance       σ² = 2 n₊ n₋ (2 n₊ n₋ − N) / (N² (N − 1))
//   z = (runs − μ) / σ, two-sided p = erfc(|z| / √2)
// z and p are NaN when σ² is not positive (all signs alike, or too few).
struct RunsTest {
  int runs = 0;
  int positive = 0;
  int negative = 0;
  double expected = 0;
  double z = 0;
  double p = 0;
};
RunsTest ResidualRunsTest(std::span<const double> residuals);

}  // namespace zentrel
