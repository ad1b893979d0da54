#pragma once
// The fitting engine: weighted chi-square, one Levenberg-Marquardt or
// Gridless (one-parameter grid search) step, and parameter uncertainties of
// a converged fit.

#include <array>
#include <optional>
#include <vector>

#include "fit/fit_data.h"
#include "fit/fit_workspace.h"
#include "fit/model.h"
#include "fit/response_shift.h"
#include "fit/step_result.h"
#include "model/fit.h"

namespace zentrel {

// Weighted chi-square of the scope's points inside the fit's range for
// parameters p (the deviance under Poisson likelihood); stores it in
// fit.chiSquare. A failure inside the model, or a model value outside the
// deviance's domain, returns 0; a
// sum that is not finite sets "Chi Squared overflow!" and returns 1.
double ChiSquare(ModelScope& scope, const double* p);

// Runs `iterations` iterations of the fit's method on the set's columns
// from the state the last call left in the run's workspace; a fit whose
// iteration count is 0 starts afresh. A failure also leaves its math error in the numeric error
// state (and errorCode 10 on a singular system), as a model evaluation does.
StepResult Step(Fit& fit, const FitData& data, FitWorkspace& work, int iterations);
StepResult LevenbergMarquardtStep(Fit& fit, const FitData& data, FitWorkspace& work, int iterations);
StepResult GridlessStep(Fit& fit, const FitData& data, FitWorkspace& work, int iterations);

// Spreads the covariance of the free parameters (packed in the leading
// freeCount x freeCount block of a P x P row-major matrix) over the full
// matrix; rows and columns of held parameters become 0.
void SortCovariance(std::vector<double>& covariance, int parameterCount, const int* freeFlags, int freeCount);

struct FitUncertainties {
  // Standard error per parameter, the response's shift last
  // (kShiftIndex); nullopt for held parameters.
  std::array<std::optional<double>, kEngineParameters> errors{};
  double reducedChiSquare = 0;
  int points = 0;      // points in the fit range
  int freeCount = 0;
  // The covariance of the free parameters (freeCount x freeCount, row-major,
  // scaled as the errors are), and the parameter index of each row
  // (kShiftIndex for the shift).
  std::vector<int> freeIndex;
  std::vector<double> covariance;
};

// Standard errors from the inverse curvature matrix at the fit's
// parameters: scaled by the residual variance when the set has no y
// errors, unscaled when the weights come from them. nullopt when the
// matrix is singular or too few points remain.
std::optional<FitUncertainties> ComputeUncertainties(Fit& fit, const FitData& data);

}  // namespace zentrel
