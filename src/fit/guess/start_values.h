#pragma once
// Start values for a fit, guessed from its data: what the Fitting dialog's
// Guess button, scripts' `fit-dialog guess` and `zentrel-cli fit --guess`
// run before the first step.

#include <array>
#include <string>

#include "fit/fit_data.h"
#include "model/fit.h"

namespace zentrel {

enum class GuessStatus {
  kGuessed,          // params holds the start values
  kNothingToGuess,   // the family has no start values to guess (spline, custom formula)
  kTooFewPoints,     // the fit range holds too few points
  kUnsuitableData,   // the data cannot be read as this family (no usable points, math errors)
};

struct GuessResult {
  GuessStatus status = GuessStatus::kGuessed;
  // What to show when nothing was guessed; empty on success.
  std::string message;
  // Every parameter of the fit: the guessed ones, the held ones as they
  // were, 0 beyond the family's count. Always finite when guessed.
  std::array<double, kMaxFitParameters> params{};
  bool ok() const { return status == GuessStatus::kGuessed; }
};

// Guesses start values for the fit's kind and order from data's points in
// the fit's range (a convolved fit is guessed through its convolution).
// Held parameters keep their values and the others are guessed with them
// in place; x0 is guessed only by the families where it places the curve
// (the convolved-with-Gaussian and dual-sided forms) and is kept by the
// others, whose terms are placed relative to it. The fit itself is not
// changed; the numeric error state is left as it was.
GuessResult GuessStartValues(const Fit& fit, const FitData& data);

}  // namespace zentrel
