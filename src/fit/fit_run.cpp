#include "fit/fit_run.h"

#include <cmath>
#include <mutex>

#include "fit/catalogue.h"
#include "fit/engine.h"
#include "fit/fit_parameters.h"
#include "model/data_set.h"
#include "fit/model_table.h"
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
  if (request.maxIterations < 1) return "the iteration limit must be at least 1";
  return {};
}

namespace {

bool SettledRelatively(double before, double after) {
  return std::fabs(before - after) <= 1e-12 * std::fabs(before) || after == 0;
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
  for (size_t i = 0; i < request.params.size(); ++i) fit.params[i] = request.params[i];
  for (int index : request.hold) fit.freeFlags[static_cast<size_t>(index)] = 0;
  if (set.ColumnCount() < 2 || set.DrawablePointCount() == 0) {
    result.error = "the file holds no points";
    return result;
  }
  // The set is only read: fits of several threads never share anything else.
  const FitData data = FitDataOf(set);
  fit.attach(set.ColumnData(0), set.DrawablePointCount());
  if (request.range) fit.setRange(request.range->first, request.range->second);

  FitWorkspace work;
  ModelScope scope{fit, data, work.spline};
  ChiSquare(scope, fit.params.data());
  if (NumericErrorState().code != 0) {
    result.error = NumericErrorState().message;
    return result;
  }
  while (fit.iterationCount < request.maxIterations) {
    const LevenbergMarquardtState& lm = work.lm;
    const double acceptedBefore = lm.previousChiSquare;
    if (const StepResult step = Step(fit, data, work, 1); !step.ok()) {
      result.error = step.message.empty() ? "the fit range holds no points" : step.message;
      break;
    }
    if (fit.method == kMethodLevenbergMarquardt) {
      const bool accepted = lm.previousChiSquare < acceptedBefore;
      if ((accepted && fit.iterationCount > 1 && SettledRelatively(acceptedBefore, lm.previousChiSquare)) ||
          lm.lambda > 1e12 || lm.previousChiSquare == 0) {
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
  result.model = std::string(ModelName(fit.modelKind));
  for (int i = 0; i < count; ++i) {
    result.names.push_back(ParameterName(fit, i));
    result.params.push_back(fit.params[static_cast<size_t>(i)]);
  }
  result.chiSquare = ChiSquare(scope, fit.params.data());
  result.iterations = fit.iterationCount;
  result.errors.assign(static_cast<size_t>(count), std::nullopt);
  if (auto uncertainties = ComputeUncertainties(fit, data)) {
    for (int i = 0; i < count; ++i) result.errors[static_cast<size_t>(i)] = uncertainties->errors[static_cast<size_t>(i)];
    result.reducedChiSquare = uncertainties->reducedChiSquare;
    result.points = uncertainties->points;
  }
  return result;
}

}  // namespace zentrel
