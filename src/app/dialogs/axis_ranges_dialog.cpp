#include "app/dialogs/axis_ranges_dialog.h"

#include <cmath>

#include "app/dialogs/form_dialog.h"

namespace zentrel {

namespace {

FieldSetter TextSetter(std::string& text) {
  return [&text](std::string_view value) -> std::optional<std::string> {
    text = std::string(value);
    return std::nullopt;
  };
}

FieldSetter SwitchSetter(const char* key, bool& on) {
  return [key, &on](std::string_view value) -> std::optional<std::string> {
    if (value != "yes" && value != "no") return std::string("answer ") + key + "=yes or no";
    on = value == "yes";
    return std::nullopt;
  };
}

using Edit = AxisRangesDialogModel::Edit;
using Refusal = AxisRangesDialogModel::Refusal;

// One axis: both ends numbers, in order, and above 0 on a log axis.
std::optional<Refusal> CheckAxis(const char* axis, Edit minEdit, const std::string& minText, Edit maxEdit,
                                 const std::string& maxText, bool log) {
  const std::string name(axis);
  const auto lo = ParseFieldNumber(minText);
  if (!lo) return Refusal{minEdit, name + "min is not a number."};
  const auto hi = ParseFieldNumber(maxText);
  if (!hi) return Refusal{maxEdit, name + "max is not a number."};
  if (*lo >= *hi) return Refusal{minEdit, name + "min must be less than " + name + "max."};
  // A span beyond the largest double cannot be mapped onto the page.
  if (!std::isfinite(*hi - *lo)) return Refusal{minEdit, "The " + name + " range is too wide."};
  if (log && *lo <= 0.0) return Refusal{minEdit, "A logarithmic " + name + " axis needs " + name + "min greater than 0."};
  return std::nullopt;
}

}  // namespace

AxisRangesDialogModel::AxisRangesDialogModel(const Graph& graph)
    : xMinText(FormatFieldNumber(graph.xMin)),
      xMaxText(FormatFieldNumber(graph.xMax)),
      yMinText(FormatFieldNumber(graph.yMin)),
      yMaxText(FormatFieldNumber(graph.yMax)),
      logX(graph.logX != 0),
      logY(graph.logY != 0) {}

std::vector<DialogField> AxisRangesDialogModel::scriptFields() {
  return {
      {"xmin", TextSetter(xMinText)},         {"xmax", TextSetter(xMaxText)},
      {"ymin", TextSetter(yMinText)},         {"ymax", TextSetter(yMaxText)},
      {"log-x", SwitchSetter("log-x", logX)}, {"log-y", SwitchSetter("log-y", logY)},
  };
}

std::optional<Refusal> AxisRangesDialogModel::check() const {
  if (auto problem = CheckAxis("X", Edit::XMin, xMinText, Edit::XMax, xMaxText, logX)) return problem;
  return CheckAxis("Y", Edit::YMin, yMinText, Edit::YMax, yMaxText, logY);
}

std::optional<std::string> AxisRangesDialogModel::validate() {
  if (auto problem = check()) return problem->message;
  return std::nullopt;
}

DataRange AxisRangesDialogModel::range() const {
  return {ParseFieldNumber(xMinText).value_or(0.0), ParseFieldNumber(yMinText).value_or(0.0),
          ParseFieldNumber(xMaxText).value_or(1.0), ParseFieldNumber(yMaxText).value_or(1.0)};
}

}  // namespace zentrel
