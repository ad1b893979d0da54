#pragma once
// One Levenberg-Marquardt trial on a fit's weighted residuals: solve the
// damped normal equations, try the step, keep it only when it lowers the
// chi-square. A trial whose model fails or whose chi-square is not finite
// is rejected like a worse one: the parameters stay and the damping grows.

#include "fit/fit_workspace.h"
#include "fit/model.h"
#include "fit/step_result.h"

namespace zentrel {

// Starts afresh when the fit's iteration count is 0 or its parameters or
// free flags changed since the last trial. Fails when the start parameters
// cannot be evaluated (their math error), the system is singular, or no
// damping up to the largest gives a usable trial (the last trial's error;
// the parameters are those of the last accepted step).
StepResult LevenbergMarquardtTrial(ModelScope& scope, LevenbergMarquardtState& lm);

}  // namespace zentrel
