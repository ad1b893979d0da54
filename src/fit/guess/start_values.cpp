#include "fit/guess/start_values.h"

#include <cmath>

#include "fit/fit_parameters.h"
#include "fit/guess/candidates.h"
#include "fit/guess/family_guesses.h"
#include "fit/guess/guess_points.h"
#include "fit/model_kind.h"
#include "fit/model_table.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

using guess::GuessContext;

using FamilyGuess = std::string (*)(GuessContext&);

FamilyGuess GuessFor(int kind) {
  switch (kind) {
    case kExponential: return guess::GuessExponential;
    case kPolynomial: return guess::GuessPolynomial;
    case kGaussian:
    case kLorentzian: return guess::GuessPeaks;
    case kStretchedExponential: return guess::GuessStretched;
    case kSquaredExponential: return guess::GuessSquaredExponential;
    case kDualSidedExponential: return guess::GuessDualSided;
    case kSquaredExpConvDualSided: return guess::GuessSquaredExpConvDualSided;
    case kExpConvGaussian:
    case kSquaredExpConvGaussian:
    case kGaussPlusExpConvGaussian: return guess::GuessExpConvGaussian;
    case kPowerLaw: return guess::GuessPowerLaw;
    case kSquaredStretchedExponential: return guess::GuessSquaredStretched;
    case kMctPowerLaws: return guess::GuessMctPowerLaws;
    default: return nullptr;
  }
}

// The parameters least squares sets once the others are fixed: y0 and the
// amplitudes the model is linear in (the squared forms: y0 only).
std::vector<int> LinearParametersOf(const Fit& fit) {
  const int n = fit.order;
  switch (fit.modelKind) {
    case kExponential: return guess::LinearIndices(2, 2, n);
    case kPolynomial: return guess::LinearIndices(2, 1, n);
    case kGaussian:
    case kLorentzian:
    case kStretchedExponential:
    case kDualSidedExponential:
    case kPowerLaw: return guess::LinearIndices(2, 3, n);
    case kExpConvGaussian: return guess::LinearIndices(3, 2, n);
    case kGaussPlusExpConvGaussian: {
      auto indices = guess::LinearIndices(4, 2, n);
      indices.push_back(2);
      return indices;
    }
    case kMctPowerLaws: return {0, 2};
    default: return {0};
  }
}

// The families whose curve is a decay: convolved with a response, their
// times are read from the data's tail, past the peak the response makes.
bool IsDecay(int kind) {
  return kind == kExponential || kind == kSquaredExponential || kind == kStretchedExponential ||
         kind == kSquaredStretchedExponential;
}

GuessResult Failure(GuessStatus status, std::string message) {
  GuessResult result;
  result.status = status;
  result.message = std::move(message);
  return result;
}

int FreeCount(const Fit& fit) {
  int count = 0;
  for (int i = 0; i < ParameterCount(fit); ++i) count += fit.freeFlags[static_cast<size_t>(i)] ? 1 : 0;
  return count;
}

// Runs the family's guess on points; the best candidate, or why none.
std::optional<guess::Params> RunGuess(const Fit& fit, const FitData& data, const guess::GuessPoints& points,
                                      std::string& problem) {
  guess::Candidates candidates(fit, data, points);
  GuessContext context{fit, candidates, points, guess::NoiseLevel(points.y)};
  problem = GuessFor(fit.modelKind)(context);
  if (!problem.empty() || !candidates.found()) return std::nullopt;
  return candidates.best();
}

GuessResult Guess(const Fit& fit, const FitData& data) {
  const std::string family(ModelName(fit.modelKind));
  if (fit.modelKind == kCubicSpline)
    return Failure(GuessStatus::kNothingToGuess, "The cubic spline runs through the data: it has no start values to guess");
  if (fit.modelKind == kCustomFunction)
    return Failure(GuessStatus::kNothingToGuess, "A custom function's parameters mean what its formula says: type their start values in");
  if (GuessFor(fit.modelKind) == nullptr)
    return Failure(GuessStatus::kNothingToGuess, "This model has no start values to guess");
  const guess::GuessPoints points = guess::PointsInRange(data, fit.fitStart, fit.fitEnd);
  const int needed = std::max(FreeCount(fit), 3);
  if (points.size() < needed)
    return Failure(GuessStatus::kTooFewPoints,
                   CFormat("Too few points to guess start values: the fit range holds %d, the %s needs %d", points.size(),
                           family.c_str(), needed));
  if (!(points.span() > 0))
    return Failure(GuessStatus::kTooFewPoints, "Too few points to guess start values: every point of the fit range has the same x");

  std::string problem;
  std::optional<guess::Params> best;
  if (fit.convolve && fit.convolutionSource != nullptr) {
    // The shape comes from the model itself, its amplitudes through the
    // convolution.
    Fit plain(fit);
    plain.convolve = 0;
    guess::GuessPoints shape = points;
    if (IsDecay(fit.modelKind)) {
      const auto top = guess::IndexOfLargestMagnitude(guess::Smoothed(points.y, guess::SmoothingHalfWidth(points.size())));
      if (points.size() - top >= needed) {
        shape.x.erase(shape.x.begin(), shape.x.begin() + top);
        shape.y.erase(shape.y.begin(), shape.y.begin() + top);
      }
    }
    const auto unconvolved = RunGuess(plain, data, shape, problem);
    if (unconvolved) {
      guess::Candidates convolved(fit, data, points);
      convolved.propose(*unconvolved, LinearParametersOf(fit));
      if (convolved.found()) best = convolved.best();
    }
  } else {
    best = RunGuess(fit, data, points, problem);
  }
  if (!problem.empty()) return Failure(GuessStatus::kUnsuitableData, problem);
  if (!best)
    return Failure(GuessStatus::kUnsuitableData,
                   "No start values could be guessed: the data in the fit range does not look like a " + family);
  GuessResult result;
  result.params = *best;
  for (int i = 0; i < kMaxFitParameters; ++i)
    if (!std::isfinite(result.params[static_cast<size_t>(i)]))
      return Failure(GuessStatus::kUnsuitableData, "No start values could be guessed: they would not be finite numbers");
  return result;
}

}  // namespace

GuessResult GuessStartValues(const Fit& fit, const FitData& data) {
  // Candidates raise math errors as a matter of course; whoever called
  // must find the state as it left it.
  const NumericError saved = NumericErrorState();
  GuessResult result = Guess(fit, data);
  NumericErrorState() = saved;
  return result;
}

}  // namespace zentrel
