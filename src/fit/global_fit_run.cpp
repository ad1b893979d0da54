#include "fit/global_fit_run.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "fit/catalogue.h"
#include "fit/fit_bounds.h"
#include "fit/fit_parameters.h"
#include "fit/fit_summary.h"
#include "fit/guess/start_values.h"
#include "fit/model_table.h"
#include "model/data_set.h"
#include "numeric/numeric_error.h"

namespace zentrel {

std::string ValidateGlobalFitRequest(const GlobalFitRequest& request, size_t setCount) {
  if (std::string problem = ValidateFitRequest(request.fit); !problem.empty()) return problem;
  if (setCount == 0) return "a global fit needs at least one set";
  if (request.fit.method != kMethodLevenbergMarquardt) return "a global fit uses Levenberg-Marquardt";
  for (int index : request.shared)
    if (index < 0 || index >= kMaxFitParameters)
      return "shared parameter index " + std::to_string(index) + " out of range";
  return {};
}

namespace {

// One set's fit made from the request, as a single fit would be made.
std::string PrepareFit(const Data_Set& set, const GlobalFitRequest& request, Fit& fit) {
  const FitRequest& r = request.fit;
  fit.method = kMethodLevenbergMarquardt;
  fit.weighting = r.weighting;
  if (r.model == ModelName(kCustomFunction)) {
    const CustomFunctionOutcome compiled = CompileCustomFunction(fit, r.equation);
    if (compiled.status != 0 || !fit.HasCustomEvaluator())
      return compiled.message.empty() ? "the equation does not compile" : compiled.message;
  }
  SelectModel(fit, r.model, r.order);
  for (int index : request.shared)
    if (index >= ParameterCount(fit))
      return "shared parameter index " + std::to_string(index) + " is beyond the model's " +
             std::to_string(ParameterCount(fit)) + " parameters";
  for (size_t i = 0; i < r.params.size(); ++i) fit.params[i] = r.params[i];
  for (int index : r.hold) fit.freeFlags[static_cast<size_t>(index)] = 0;
  for (const ParameterBounds& b : r.bounds) SetBounds(fit, b.index, b.lower, b.upper);
  if (r.convolveWith != nullptr) fit.setConvolutionSource(r.convolveWith);
  fit.shift = r.shift;
  fit.shiftFree = r.freeShift ? 1 : 0;
  if (set.ColumnCount() < 2 || set.DrawablePointCount() == 0) return "the file holds no points";
  fit.attach(set.ColumnData(0), set.DrawablePointCount());
  if (r.range) fit.setRange(r.range->first, r.range->second);
  return {};
}

std::string Prefixed(const std::string& label, const std::string& message) {
  return label.empty() ? message : label + ": " + message;
}

}  // namespace

GlobalFitRunResult RunGlobalFit(const std::vector<const Data_Set*>& sets, const std::vector<std::string>& labels,
                                const GlobalFitRequest& request) {
  GlobalFitRunResult result;
  result.labels = labels;
  result.labels.resize(sets.size());
  if (std::string problem = ValidateGlobalFitRequest(request, sets.size()); !problem.empty()) {
    result.error = problem;
    return result;
  }
  ClearNumericError();
  std::vector<std::unique_ptr<Fit>> fits;
  std::vector<GlobalFitMember> members;
  for (size_t s = 0; s < sets.size(); ++s) {
    fits.push_back(std::make_unique<Fit>());
    Fit& fit = *fits.back();
    if (std::string problem = PrepareFit(*sets[s], request, fit); !problem.empty()) {
      result.error = Prefixed(result.labels[s], problem);
      return result;
    }
    members.push_back({&fit, FitDataOf(*sets[s]), result.labels[s]});
  }
  SharedFlags shared{};
  for (int index : request.shared) shared[static_cast<size_t>(index)] = true;
  const int count = ParameterCount(*fits.front());
  for (int i = 0; i < count; ++i) result.shared.push_back(shared[static_cast<size_t>(i)]);
  if (std::string problem = GlobalFitProblem(members, shared); !problem.empty()) {
    result.error = problem;
    return result;
  }
  std::vector<std::vector<double>> guessed(sets.size());
  if (request.fit.guess) {
    for (size_t s = 0; s < members.size(); ++s) {
      const GuessResult guess = GuessStartValues(*members[s].fit, members[s].data);
      if (!guess.ok()) {
        result.error = Prefixed(result.labels[s], guess.message);
        return result;
      }
      members[s].fit->params = guess.params;
      guessed[s].assign(guess.params.begin(), guess.params.begin() + count);
    }
  }

  GlobalFitWorkspace work;
  const int limit = request.fit.maxIterations;
  while (limit == 0 || fits.front()->iterationCount < limit) {
    if (const StepResult step = GlobalStep(members, shared, work, 1); !step.ok()) {
      result.error = step.message.empty() ? "the fit step failed" : step.message;
      break;
    }
    if (GlobalConvergence(work.lm) != Convergence::kNotYet) {
      result.converged = true;
      break;
    }
  }
  result.iterations = fits.front()->iterationCount;
  result.chiSquare = work.lm.chiSquare;
  const std::optional<GlobalUncertainties> joint =
      result.failed() ? std::nullopt : ComputeGlobalUncertainties(members, shared);
  const GlobalLayout layout = MakeGlobalLayout(members, shared);
  result.freeCount = static_cast<int>(layout.unknowns.size());
  for (size_t s = 0; s < members.size(); ++s) {
    const Fit& fit = *members[s].fit;
    FitRunResult& one = result.sets.emplace_back();
    one.model = std::string(ModelName(fit.modelKind));
    one.order = fit.order;
    one.points = CountPointsInRange(members[s].data, fit.fitStart, fit.fitEnd);
    result.points += one.points;
    one.iterations = result.iterations;
    one.converged = result.converged;
    one.guessedStart = guessed[s];
    one.chiSquare = result.failed() ? std::nan("") : fit.chiSquare;
    for (int i = 0; i < count; ++i) {
      one.names.push_back(ParameterName(fit, i));
      one.params.push_back(fit.params[static_cast<size_t>(i)]);
      one.held.push_back(!fit.freeFlags[static_cast<size_t>(i)]);
      if (!request.fit.bounds.empty()) one.atBound.push_back(BoundHit(fit, i));
      one.errors.push_back(joint ? joint->members[s].errors[static_cast<size_t>(i)] : std::nullopt);
    }
    if (joint) {
      one.reducedChiSquare = joint->reducedChiSquare;
      one.statistics = SummariseFit(fit, members[s].data, &joint->members[s]);
    }
  }
  if (result.failed()) {
    result.chiSquare = result.reducedChiSquare = std::nan("");
    return result;
  }
  if (joint) {
    result.reducedChiSquare = joint->reducedChiSquare;
  } else {
    result.reducedChiSquare =
        result.points > result.freeCount ? result.chiSquare / (result.points - result.freeCount) : std::nan("");
    result.uncertaintyNote = result.points <= result.freeCount
                                 ? "no uncertainties: the fit ranges hold no more points than the free parameters"
                                 : "no uncertainties: the joint curvature matrix is singular or cannot be evaluated";
  }
  return result;
}

}  // namespace zentrel
