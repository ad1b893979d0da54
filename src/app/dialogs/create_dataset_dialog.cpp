#include "app/dialogs/create_dataset_dialog.h"

#include <cmath>
#include <utility>

#include "model/data_set.h"
#include "numeric/c_format.h"
#include "numeric/even_grid.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// Standard decimal conversion: an empty or unreadable field reads as 0.
double ReadField(const std::string& text) { return CStrtod(text.c_str()); }

// Script values must be numbers in full, so a typo never reads as 0.
FieldSetter NumberField(std::string& field) {
  return [&field](std::string_view value) -> std::optional<std::string> {
    const std::string text(value);
    std::size_t used = 0;
    CStrtod(text.c_str(), &used);
    if (text.empty() || used != text.size()) return "not a number";
    field = text;
    return std::nullopt;
  };
}

}  // namespace

std::vector<DialogField> CreateDataSetDialogModel::scriptFields() {
  return {
      {"xstart", NumberField(xStart)},
      {"xend", NumberField(xEnd)},
      {"xstep", NumberField(xStep)},
      {"equation",
       [this](std::string_view value) -> std::optional<std::string> {
         equation = std::string(value);
         const std::string before = errorMessages;
         errorMessages.clear();
         equationLostFocus();
         if (!errorMessages.empty()) return errorMessages;
         errorMessages = before;
         return std::nullopt;
       }},
  };
}

std::optional<std::string> CreateDataSetDialogModel::validate() {
  if (pressOk()) return std::nullopt;
  return errorMessages;
}

void CreateDataSetDialogModel::equationLostFocus() {
  target_.name = equation;
  const CompileOutcome outcome = CompileExpression(equation, expression_);
  switch (outcome.failedAt) {
    case CompileStage::Done: break;
    case CompileStage::Conversion:
    case CompileStage::Compilation: errorMessages = outcome.message; break;
    case CompileStage::CodeGeneration: errorMessages = "NULL fn!"; break;
  }
}

bool CreateDataSetDialogModel::pressOk() {
  double start = ReadField(xStart);
  double end = ReadField(xEnd);
  double step = ReadField(xStep);
  if (end < start)
    std::swap(start, end);
  else if (end == start)
    end = start + 1;
  if (step < 0)
    step = -step;
  else if (step == 0)
    step = (end - start) * 0.01;
  xStart = FormatLg(start);
  xEnd = FormatLg(end);
  xStep = FormatLg(step);

  if (!expression_.evaluator) {
    errorMessages = "Please enter a function";
    return false;
  }
  if (!std::isfinite(start) || !std::isfinite(end) || !std::isfinite(step)) {
    errorMessages = "XStart, XEnd and XStep must be finite numbers";
    return false;
  }
  // x_i = XStart + i·XStep, XEnd itself when the range is a whole number of
  // steps up to rounding. A range needing more points than any set should
  // hold is refused before sampling anything.
  const std::string tooMany = CFormat("Too many points: at most %d", kMaxPoints);
  const double count = EvenGridCount(start, end, step);
  if (!(count <= kMaxPoints)) {
    errorMessages = tooMany;
    return false;
  }
  std::vector<double> xs(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < xs.size(); ++i) {
    xs[i] = EvenGridPoint(start, end, step, static_cast<long long>(i), static_cast<long long>(xs.size()));
    // A step below the spacing of the numbers near x would repeat points.
    if (i > 0 && !(xs[i] > xs[i - 1])) {
      errorMessages = "XStep is too small for XStart and XEnd";
      return false;
    }
  }

  // Points of an earlier attempt go: this attempt's points replace them all.
  if (target_.lastIndex(0) >= 0) target_.DeletePoints(0, target_.lastIndex(0));
  std::vector<double> ys(xs.size());
  // The state may hold a failure another consumer has yet to show: keep it
  // apart from this sampling's own and give it back afterwards.
  const NumericError earlier = std::exchange(NumericErrorState(), NumericError{});
  const std::size_t evaluated = expression_.evaluator.evaluateMany(parameters_.data(), expression_.constants.data(),
                                                                   xs.data(), ys.data(), xs.size());
  const NumericError failure = std::exchange(NumericErrorState(), earlier);
  const std::size_t good = failure.code != 0 ? evaluated - 1 : evaluated;
  target_.Reserve(0, static_cast<int>(good));
  target_.Reserve(1, static_cast<int>(good));
  for (std::size_t i = 0; i < good; ++i) {
    target_.SetValue(0, static_cast<int>(i), xs[i]);
    target_.SetValue(1, static_cast<int>(i), ys[i]);
  }
  if (failure.code != 0) {
    errorMessages = failure.message;
    return false;
  }
  return true;
}

}  // namespace zentrel
