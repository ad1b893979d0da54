#include "app/script/global_fit_script.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "app/dialogs/global_fit_dialog.h"
#include "app/script/script_line.h"
#include "app/script/script_ui.h"
#include "app/script/script_values.h"
#include "fit/model_table.h"

namespace zentrel {

namespace {

// The longest run `iterate` without a number may take.
constexpr long long kMaxTrials = 100000;

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return items;
}

// Row numbers of a list of parameter names or indices; the message when
// one is neither.
std::string ParseRows(const GlobalFitDialogModel& dialog, const std::string& key, const std::string& text,
                      std::vector<size_t>& rows) {
  if (text.empty()) return {};
  for (const std::string& item : SplitList(text)) {
    const auto byName = std::find_if(dialog.rows.begin(), dialog.rows.end(),
                                     [&](const GlobalFitDialogModel::Row& row) { return row.caption == item; });
    if (byName != dialog.rows.end()) {
      rows.push_back(static_cast<size_t>(byName - dialog.rows.begin()));
      continue;
    }
    const auto index = ParseInteger(item);
    if (!index || *index < 0 || *index >= static_cast<long long>(dialog.rows.size()))
      return key + ": '" + item + "' is not a parameter of the model";
    rows.push_back(static_cast<size_t>(*index));
  }
  return {};
}

// The bare word right after `flag`, when it is not another flag of the line.
const ScriptArgument* WordAfter(const ScriptLine& line, std::string_view flag) {
  for (size_t k = 0; k + 1 < line.arguments.size(); ++k) {
    const ScriptArgument& word = line.arguments[k];
    if (!word.key.empty() || word.quoted || word.value != flag) continue;
    const ScriptArgument& next = line.arguments[k + 1];
    const bool bare = next.key.empty() && !next.quoted;
    return bare && next.value != "print" && next.value != "guess" ? &next : nullptr;
  }
  return nullptr;
}

void Print(const GlobalFitDialogModel& dialog, std::ostream& out) {
  out << "Global Fit: " << dialog.modelName << ", order " << dialog.orderText << ", " << dialog.columns.size()
      << " sets\nIterations: " << dialog.iterationsText << "\nChi Squared: " << dialog.chiSquareText;
  if (!dialog.reducedChiSquareText.empty()) out << " (reduced " << dialog.reducedChiSquareText << ")";
  out << "\nState: " << dialog.stateText << '\n';
  for (const auto& row : dialog.rows) {
    const std::string held = row.free ? "" : " (held)";
    if (row.shared) {
      out << row.caption << " (shared) = " << row.values.front();
      if (!row.errors.front().empty()) out << " +- " << row.errors.front();
      out << held << '\n';
      continue;
    }
    for (size_t c = 0; c < row.values.size(); ++c) {
      out << row.caption << " [" << dialog.setNames[static_cast<size_t>(dialog.columns[c])] << "] = " << row.values[c];
      if (!row.errors[c].empty()) out << " +- " << row.errors[c];
      out << held << '\n';
    }
  }
}

std::string ApplyLine(GlobalFitDialogModel& dialog, ScriptUi& ui, const ScriptLine& line, std::ostream& out) {
  if (dialog.iterating()) dialog.toggleIterate(ui);
  // The dialog keeps what earlier lines set; the first line opens it.
  dialog.listSets();
  const auto sets = line.take("sets");
  if (!sets && dialog.columns.empty()) dialog.open();
  if (sets) {
    std::vector<int> indices;
    for (const std::string& item : SplitList(*sets)) {
      const auto index = ParseInteger(item);
      if (!index || *index < 0 || *index >= static_cast<long long>(dialog.setNames.size()))
        return "sets: '" + item + "' is not a set index (0 to " + std::to_string(dialog.setNames.size() - 1) + ")";
      indices.push_back(static_cast<int>(*index));
    }
    dialog.chooseSets(indices);
  }
  const auto model = line.take("model");
  const auto order = line.take("order");
  if (model || order) {
    if (model) dialog.modelName = *model;
    if (order) {
      if (!ParseInteger(*order)) return "order=" + *order + " is not a whole number";
      dialog.orderText = *order;
    }
    if (!dialog.applyModel()) return "model=\"" + dialog.modelName + "\" is not a model a global fit can use";
  }
  if (dialog.columns.empty()) return "no sets to fit together (sets=… or active sets)";
  if (auto shared = line.take("shared")) {
    std::vector<size_t> rows;
    if (std::string problem = ParseRows(dialog, "shared", *shared, rows); !problem.empty()) return problem;
    for (auto& row : dialog.rows) row.shared = false;
    for (size_t row : rows) dialog.rows[row].shared = true;
    // A shared row shows the first set's value everywhere.
    for (auto& row : dialog.rows)
      if (row.shared) row.values.assign(row.values.size(), row.values.front());
  }
  if (auto hold = line.take("hold")) {
    std::vector<size_t> rows;
    if (std::string problem = ParseRows(dialog, "hold", *hold, rows); !problem.empty()) return problem;
    for (auto& row : dialog.rows) row.free = true;
    for (size_t row : rows) dialog.rows[row].free = false;
  }
  for (size_t row = 0; row < dialog.rows.size(); ++row) {
    const auto value = line.take("a" + std::to_string(row));
    if (!value) continue;
    if (!ParseDouble(*value)) return "a" + std::to_string(row) + "=" + *value + " is not a number";
    dialog.rows[row].values.assign(dialog.rows[row].values.size(), *value);
  }
  if (line.takeFlag("guess") && !dialog.guess(ui)) return "guess: no start values were guessed";
  if (line.takeFlag("iterate")) {
    std::optional<long long> limit = kMaxTrials;
    if (const ScriptArgument* count = WordAfter(line, "iterate")) {
      count->used = true;
      limit = ParseInteger(count->value);
    }
    if (!limit || *limit < 0 || *limit > kMaxTrials)
      return "iterate takes a number of trials (0 to " + std::to_string(kMaxTrials) + ")";
    if (!dialog.toggleIterate(ui)) return "the sets cannot be fitted together";
    for (long long trial = 0; trial < *limit && dialog.step(ui); ++trial) {
    }
    if (dialog.iterating()) dialog.toggleIterate(ui);
  }
  if (line.takeFlag("print")) Print(dialog, out);
  return {};
}

}  // namespace

std::string RunGlobalFitLine(CZentrelDoc& doc, ScriptUi& ui, const ScriptLine& line, std::ostream& out) {
  if (doc.SetCount() == 0) return "there are no data sets to fit";
  ui.beginLine(line);
  std::string problem = ApplyLine(GlobalFitDialogOf(doc), ui, line, out);
  for (const auto& message : ui.takeMessages()) out << "message: " << message << '\n';
  if (problem.empty()) problem = ui.error();
  return problem;
}

}  // namespace zentrel
