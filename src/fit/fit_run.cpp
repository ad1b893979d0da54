#include "fit/fit_run.h"

#include <cmath>
#include <cstdio>
#include <mutex>

#include "fit/catalogue.h"
#include "fit/convergence.h"
#include "fit/engine.h"
#include "fit/fit_bounds.h"
#include "fit/fit_parameters.h"
#include "fit/guess/start_values.h"
#include "model/data_set.h"
#include "fit/model_table.h"
#include "fit/response_shift.h"
#include "fit/weights.h"
#include "numeric/numeric_error.h"

namespace zentrel {

std::string ValidateFitRequest(const FitRequest& request) {
  bool known = false;
  for (auto name : ModelNames()) known = known || name == request.model;
  if (!known) return "unknown model '" + request.model + "'";
  if (request.order < 1) return "the order must be at least 1";
  if (request.model == ModelName(kCustomFunction) && request.equation.empty())
    return "a custom function needs an equation";
  if (request.params.size() > static_cast<size_t>(kMaxFitParameters))
    return "at most " + std::to_string(kMaxFitParameters) + " start values";
  for (int index : request.hold)
    if (index < 0 || index >= kMaxFitParameters) return "held parameter index " + std::to_string(index) + " out of range";
  if (request.maxIterations < 0) return "the iteration limit must not be negative";
  std::vector<bool> bounded(kMaxFitParameters, false);
  for (const ParameterBounds& b : request.bounds) {
    const std::string which = "bounds of parameter " + std::to_string(b.index);
    if (b.index < 0 || b.index >= kMaxFitParameters) return which + ": no such parameter";
    if (bounded[static_cast<size_t>(b.index)]) return which + ": given twice";
    bounded[static_cast<size_t>(b.index)] = true;
    if (std::string problem = BoundsProblem(b.lower, b.upper); !problem.empty()) return which + ": " + problem;
  }
  if ((request.shift != 0 || request.freeShift) && request.convolveWith == nullptr)
    return "a shift needs a response to convolve with";
  if (!std::isfinite(request.shift)) return "the shift must be a finite number";
  if (request.confidence && !(*request.confidence > 0 && *request.confidence < 1))
    return "the confidence level must lie between 0 and 1";
  return {};
}

namespace {

std::string Counted(int count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string PointsText(int points) { return Counted(points, "point"); }

std::string RangeText(const Fit& fit) {
  char text[80];
  std::snprintf(text, sizeof text, "%.6g..%.6g", fit.fitStart, fit.fitEnd);
  return text;
}

// Why a step failed, for someone who did not watch it.
std::string StepFailure(const Fit& fit, const StepResult& step) {
  switch (step.status) {
    case StepStatus::kNoPoints: return "the fit range " + RangeText(fit) + " holds no points";
    case StepStatus::kNoFormula: return "the custom function has no formula";
    default: return step.message.empty() ? "the fit step failed" : step.message;
  }
}

// Why free parameters get no standard errors, or empty when they get them.
std::string UncertaintyNote(int points, int freeCount) {
  if (freeCount == 0) return {};
  if (points <= freeCount)
    return "no uncertainties: the fit range holds " + PointsText(points) + " for " + Counted(freeCount, "free parameter");
  return "no uncertainties: the curvature matrix at the final parameters is singular or cannot be evaluated";
}

}  // namespace

FitRunResult RunFit(const Data_Set& set, const FitRequest& request) {
  FitRunResult result;
  if (std::string problem = ValidateFitRequest(request); !problem.empty()) {
    result.error = problem;
    return result;
  }
  ClearNumericError();
  Fit fit;
  fit.method = request.method;
  fit.weighting = request.weighting;
  if (request.model == ModelName(kCustomFunction)) {
    // Batch fits run on several threads; code generation is not promised
    // to be safe from more than one at a time, so compiling takes turns.
    static std::mutex compiling;
    std::unique_lock lock(compiling);
    CustomFunctionOutcome compiled = CompileCustomFunction(fit, request.equation);
    lock.unlock();
    if (compiled.status != 0 || !fit.HasCustomEvaluator()) {
      result.error = compiled.message.empty() ? "the equation does not compile" : compiled.message;
      return result;
    }
  }
  result.order = SelectModel(fit, request.model, request.order);
  result.model = std::string(ModelName(fit.modelKind));
  for (size_t i = 0; i < request.params.size(); ++i) fit.params[i] = request.params[i];
  for (int index : request.hold) fit.freeFlags[static_cast<size_t>(index)] = 0;
  // Start values outside their intervals move to the nearer bound.
  for (const ParameterBounds& b : request.bounds) SetBounds(fit, b.index, b.lower, b.upper);
  if (request.convolveWith != nullptr) {
    fit.setConvolutionSource(request.convolveWith);
    fit.shift = request.shift;
    fit.shiftFree = request.freeShift ? 1 : 0;
  }
  if (set.ColumnCount() < 2 || set.DrawablePointCount() == 0) {
    result.error = "the file holds no points";
    return result;
  }
  // The set is only read: fits of several threads never share anything else.
  const FitData data = FitDataOf(set);
  fit.attach(set.ColumnData(0), set.DrawablePointCount());
  if (request.range) fit.setRange(request.range->first, request.range->second);
  result.points = CountPointsInRange(data, fit.fitStart, fit.fitEnd);
  const int freeCount = static_cast<int>(FreeEngineIndex(fit).size());
  if (result.points == 0) {
    result.error = "the fit range " + RangeText(fit) + " holds no points";
    return result;
  }
  if (result.points < freeCount) {
    result.error = "the fit range " + RangeText(fit) + " holds " + PointsText(result.points) + ", fewer than its " +
                   Counted(freeCount, "free parameter");
    return result;
  }

  if (request.guess) {
    const GuessResult guessed = GuessStartValues(fit, data);
    if (!guessed.ok()) {
      result.error = guessed.message;
      return result;
    }
    fit.params = guessed.params;
    result.guessedStart.assign(guessed.params.begin(), guessed.params.begin() + ParameterCount(fit));
  }

  FitWorkspace work;
  ModelScope scope{fit, data, work.spline, &work.convolution};
  if (std::string problem = WeightingProblem(fit, data); !problem.empty()) {
    result.error = problem;
    return result;
  }
  ChiSquare(scope, fit.params.data());
  if (NumericErrorState().code != 0) {
    result.error = NumericErrorState().message;
    return result;
  }
  while (request.maxIterations == 0 || fit.iterationCount < request.maxIterations) {
    if (const StepResult step = Step(fit, data, work, 1); !step.ok()) {
      result.error = StepFailure(fit, step);
      break;
    }
    if (fit.method == kMethodLevenbergMarquardt) {
      if (LevenbergMarquardtConvergence(work.lm) != Convergence::kNotYet) {
        result.converged = true;
        break;
      }
    } else {
      if (work.gridless.settledSweeps >= 3) {
        result.converged = true;
        break;
      }
    }
  }
  const int count = ParameterCount(fit);
  for (int i = 0; i < count; ++i) {
    result.names.push_back(ParameterName(fit, i));
    result.params.push_back(fit.params[static_cast<size_t>(i)]);
    result.held.push_back(!fit.freeFlags[static_cast<size_t>(i)]);
  }
  if (!request.bounds.empty())
    for (int i = 0; i < count; ++i) result.atBound.push_back(BoundHit(fit, i));
  // The shift is a row of its own once it is used.
  const bool shiftRow = ShiftInUse(fit);
  if (shiftRow) {
    result.names.push_back(kShiftName);
    result.params.push_back(fit.shift);
    result.held.push_back(fit.shiftFree == 0);
    if (!result.atBound.empty()) result.atBound.push_back(BoundSide::kInside);
  }
  result.iterations = fit.iterationCount;
  result.errors.assign(result.params.size(), std::nullopt);
  // A failed fit has no chi-square to report: the last one scored may be
  // a math error's 0.
  if (result.failed()) {
    result.chiSquare = std::nan("");
    result.reducedChiSquare = std::nan("");
    return result;
  }
  result.chiSquare = ChiSquare(scope, fit.params.data());
  if (NumericErrorState().code != 0) {
    result.error = NumericErrorState().message;
    result.chiSquare = result.reducedChiSquare = std::nan("");
    result.converged = false;
    return result;
  }
  const std::optional<FitUncertainties> uncertainties = ComputeUncertainties(fit, data);
  if (uncertainties) {
    for (int i = 0; i < count; ++i) result.errors[static_cast<size_t>(i)] = uncertainties->errors[static_cast<size_t>(i)];
    if (shiftRow) result.errors.back() = uncertainties->errors[kShiftIndex];
    result.reducedChiSquare = uncertainties->reducedChiSquare;
  } else {
    result.uncertaintyNote = UncertaintyNote(result.points, freeCount);
    result.reducedChiSquare = result.points > freeCount ? result.chiSquare / (result.points - freeCount) : std::nan("");
  }
  result.statistics = SummariseFit(fit, data, uncertainties ? &*uncertainties : nullptr);
  if (request.confidence) {
    ProfileOptions profile;
    profile.level = *request.confidence;
    result.confidence = ProfileConfidenceIntervals(fit, data, profile);
  }
  if (request.keepFit) result.fitted = std::make_shared<Fit>(fit);
  return result;
}

}  // namespace zentrel
