#include "app/script/fit_script.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ostream>
#include <utility>

#include "app/dialogs/fit_dialog.h"
#include "app/fit_iteration.h"
#include "app/script/script_line.h"
#include "app/script/script_ui.h"
#include "app/script/script_values.h"
#include "fit/model_table.h"

namespace zentrel {

namespace {

constexpr long long kMaxIteratePasses = 10'000'000;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

void PrintMessages(ScriptUi& ui, std::ostream& out) {
  for (const auto& message : ui.takeMessages()) out << "message: " << message << '\n';
}

// shift=V and free-shift=yes|no: the row of the response's shift, which
// exists only while the fit convolves with a set.
std::string ApplyShiftKeys(FitDialogModel& dialog, const ScriptLine& line) {
  const auto shift = line.take("shift");
  const auto freeShift = line.take("free-shift");
  if (!shift && !freeShift) return {};
  if (!dialog.shiftVisible) return "shift: the fit does not convolve with a set";
  if (shift) {
    const auto value = ParseDouble(*shift);
    if (!value || !std::isfinite(*value)) return "shift=" + *shift + " is not a number";
    dialog.shiftText = *shift;
  }
  if (freeShift) {
    const std::string answer = Lower(*freeShift);
    if (answer != "yes" && answer != "no") return "free-shift=" + *freeShift + " must be yes or no";
    dialog.shiftCheck = answer == "yes";
  }
  dialog.applyShiftRow();
  return {};
}

std::string ApplyFitDialogLine(FitDialogModel& dialog, ScriptUi& ui, const ScriptLine& line, std::ostream& out) {
  if (auto value = line.take("limit-set")) {
    const auto index = ParseInteger(*value);
    if (!index || *index < 1 || *index > 3) return "limit-set=" + *value + " must be 1, 2 or 3";
    dialog.switchLimitSet(static_cast<int>(*index) - 1);
  }
  const auto model = line.take("model");
  const auto order = line.take("order");
  if (model || order) {
    if (model) {
      if (std::find(ModelNames().begin(), ModelNames().end(), *model) == ModelNames().end())
        return "model=\"" + *model + "\" is not a model of the catalogue";
      dialog.modelName = *model;
    }
    if (order) {
      if (!ParseInteger(*order)) return "order=" + *order + " is not a whole number";
      dialog.orderText = *order;
    }
    dialog.modelLostFocus();
  }
  if (line.takeFlag("list") && dialog.list(ui) == false && !ui.error().empty()) return ui.error();
  if (auto equation = line.take("equation")) {
    dialog.customEquationText = *equation;
    if (!dialog.customEquationLostFocus(ui)) return "equation=\"" + *equation + "\" does not compile";
  }
  if (auto name = line.take("name")) {
    dialog.nameText = *name;
    dialog.nameLostFocus();
  }
  for (int row = 0; row < kFitDialogRows; ++row) {
    const auto value = line.take("a" + std::to_string(row));
    const auto free = line.take("free" + std::to_string(row));
    if (!value && !free) continue;
    if (row >= dialog.rowsShown)
      return "a" + std::to_string(row) + ": the dialog shows " + std::to_string(dialog.rowsShown) + " parameters";
    if (value) {
      if (!ParseDouble(*value)) return "a" + std::to_string(row) + "=" + *value + " is not a number";
      dialog.paramTexts[static_cast<size_t>(row)] = *value;
    }
    if (free) {
      if (*free != "0" && *free != "1") return "free" + std::to_string(row) + "=" + *free + " must be 0 or 1";
      dialog.paramChecks[static_cast<size_t>(row)] = *free == "1";
    }
    dialog.applyParameterRow(row);
  }
  for (int row = 0; row < kFitDialogRows; ++row) {
    const auto lower = line.take("lo" + std::to_string(row));
    const auto upper = line.take("hi" + std::to_string(row));
    if (!lower && !upper) continue;
    if (row >= dialog.rowsShown)
      return "lo" + std::to_string(row) + "/hi" + std::to_string(row) + ": the dialog shows " +
             std::to_string(dialog.rowsShown) + " parameters";
    // An empty value removes that bound.
    for (const auto& [key, value] : {std::pair{"lo", lower}, std::pair{"hi", upper}}) {
      if (value && !value->empty() && !ParseDouble(*value))
        return key + std::to_string(row) + "=" + *value + " is not a number";
    }
    if (lower) dialog.lowerTexts[static_cast<size_t>(row)] = *lower;
    if (upper) dialog.upperTexts[static_cast<size_t>(row)] = *upper;
    if (std::string problem = dialog.applyBoundsRow(row); !problem.empty()) return problem;
  }
  if (auto start = line.take("start")) {
    if (!ParseDouble(*start)) return "start=" + *start + " is not a number";
    dialog.fitStartText = *start;
    dialog.fitStartLostFocus();
  }
  if (auto end = line.take("end")) {
    if (!ParseDouble(*end)) return "end=" + *end + " is not a number";
    dialog.fitEndText = *end;
    dialog.fitEndLostFocus();
  }
  if (auto method = line.take("method")) {
    const std::string m = Lower(*method);
    if (m == "lm" || m == "levenberg-marquardt") dialog.methodChanged(kMethodLevenbergMarquardt);
    else if (m == "gridless") dialog.methodChanged(kMethodGridless);
    else return "method=" + *method + " must be lm or gridless";
  }
  if (auto weighting = line.take("weighting")) {
    static const char* const kWeightings[] = {"equal", "1/y", "1/sigma^2", "1/sqrt(y)", "poisson"};
    const std::string w = Lower(*weighting);
    const auto found = std::find(std::begin(kWeightings), std::end(kWeightings), w);
    if (found == std::end(kWeightings)) return "weighting=" + *weighting + " must be equal, 1/y, 1/sigma^2, 1/sqrt(y) or poisson";
    dialog.weightingClicked(static_cast<int>(found - std::begin(kWeightings)));
  }
  if (line.takeFlag("convolve-with")) {
    dialog.convolveWith(ui);
    if (!ui.error().empty()) return ui.error();
  }
  if (std::string problem = ApplyShiftKeys(dialog, line); !problem.empty()) return problem;
  if (line.has("color")) {
    dialog.changeColor(ui);
    if (!ui.error().empty()) return ui.error();
  }
  // The reason is the dialog's message box, printed as "message: …".
  if (line.takeFlag("guess") && !dialog.guessStartValues(ui)) return "guess: no start values were guessed";
  if (line.takeFlag("paste-params")) dialog.pasteParams(ui);
  if (line.takeFlag("copy-params")) dialog.copyParams(ui);
  if (line.takeFlag("iterate")) dialog.toggleIterate();
  if (line.takeFlag("print")) {
    out << "Fit Name: " << dialog.nameText << "\nIterations: " << dialog.iterationsText
        << "\nChi Squared: " << dialog.chiSquareText << '\n';
    for (int row = 0; row < dialog.rowsShown; ++row) {
      const auto i = static_cast<size_t>(row);
      out << dialog.paramCaptions[i] << " = " << dialog.paramTexts[i];
      if (!dialog.errorTexts[i].empty()) out << " +- " << dialog.errorTexts[i];
      out << (dialog.paramChecks[i] ? "" : " (held)");
      if (!dialog.boundMarks[i].empty()) out << " (" << dialog.boundMarks[i] << ")";
      out << '\n';
    }
    if (dialog.shiftVisible) {
      out << "shift = " << dialog.shiftText;
      if (!dialog.shiftErrorText.empty()) out << " +- " << dialog.shiftErrorText;
      out << (dialog.shiftCheck ? "" : " (held)") << '\n';
    }
  }
  // The statistics and the intervals come after the printout, which keeps
  // its lines as they were.
  if (auto level = line.take("confidence")) {
    const auto value = ParseDouble(*level);
    if (!value || !(*value > 0 && *value < 1))
      return "confidence=" + *level + " must be a level between 0 and 1 (0.683 or 0.95)";
    if (!dialog.computeConfidence(ui, *value)) {
      PrintMessages(ui, out);
      return ui.error().empty() ? "confidence=" + *level + ": no intervals were computed" : ui.error();
    }
    for (const auto& text : dialog.confidenceLines) out << text << '\n';
  }
  if (line.takeFlag("statistics")) {
    if (dialog.statisticsLines.empty()) out << "statistics: none until the fit has stopped\n";
    for (const auto& text : dialog.statisticsLines) out << text << '\n';
  }
  if (line.takeFlag("ok")) dialog.pressOk();
  return {};
}

}  // namespace

std::string RunFitDialogLine(CZentrelDoc& doc, ScriptUi& ui, const ScriptLine& line, std::ostream& out) {
  FitDialogModel* dialog = ExistingFitDialog(doc);
  if (dialog != nullptr) dialog->releaseIfGone();
  if (dialog == nullptr || !dialog->isVisible()) return "the Fitting dialog is not shown (fit or refit-set opens it)";
  ui.beginLine(line);
  std::string problem = ApplyFitDialogLine(*dialog, ui, line, out);
  PrintMessages(ui, out);
  if (problem.empty()) problem = ui.error();
  return problem;
}

std::string RunIterateLine(CZentrelDoc& doc, ScriptUi& ui, const ScriptLine& line, std::ostream& out) {
  const auto words = line.positional();
  const auto passes = words.size() == 1 ? ParseInteger(words[0]) : std::nullopt;
  if (!passes || *passes < 0 || *passes > kMaxIteratePasses)
    return "iterate needs a number of passes (0 to " + std::to_string(kMaxIteratePasses) + ")";
  ui.beginLine(line);
  for (long long pass = 0; pass < *passes; ++pass) {
    const bool more = IterateFitsOnce(doc, ui);
    PrintMessages(ui, out);
    // Passes with nothing iterating would change nothing.
    if (!more) break;
  }
  return {};
}

}  // namespace zentrel
