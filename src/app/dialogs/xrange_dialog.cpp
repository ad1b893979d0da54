#include "app/dialogs/xrange_dialog.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "numeric/c_format.h"
#include "numeric/even_grid.h"

namespace zentrel {

namespace {

// The points of the even grid over span (numeric/even_grid.h): a span a
// whole number of steps long up to rounding ends on a point. A zero step
// (equal bounds) would divide by zero: the count then shows 1; a count
// beyond int shows the largest int.
int CountFor(double span, double step) {
  const double count = EvenGridCount(0.0, std::fabs(span), std::fabs(step));
  if (std::isnan(count)) return 1;
  if (count >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(count);
}

// The integer an edit holds, as GetDlgItemInt-style reading gives it: 0
// when it holds none.
int ReadInteger(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return static_cast<int>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

FieldSetter NumberSetter(XrangeDialogModel& model, void (XrangeDialogModel::*lostFocus)(const std::string&)) {
  return [&model, lostFocus](std::string_view value) -> std::optional<std::string> {
    const std::string text(value);
    std::size_t used = 0;
    CStrtod(text.c_str(), &used);
    if (text.empty() || used != text.size()) return "not a number";
    (model.*lostFocus)(text);
    return std::nullopt;
  };
}

}  // namespace

void XrangeDialogModel::setXMin(double value) {
  xMin = value;
  gridCount = CountFor(xMax - value, xStep);
}

void XrangeDialogModel::setXMax(double value) {
  xMax = value;
  gridCount = CountFor(value - xMin, xStep);
}

void XrangeDialogModel::setXStep(double value) {
  xStep = value;
  gridCount = CountFor(xMax - xMin, value);
}

void XrangeDialogModel::setGridCount(int count) {
  gridCount = count;
  xStep = count > 1 ? std::fabs(xMax - xMin) / (count - 1) : std::fabs(xMax - xMin) * 1.1;
}

double XrangeDialogModel::signedStep() const { return xMin > xMax ? -std::fabs(xStep) : std::fabs(xStep); }

std::string XrangeDialogModel::xMinText() const { return CFormat("%g", xMin); }
std::string XrangeDialogModel::xMaxText() const { return CFormat("%g", xMax); }
std::string XrangeDialogModel::xStepText() const { return CFormat("%g", signedStep()); }
std::string XrangeDialogModel::gridCountText() const { return CFormat("%d", gridCount); }

void XrangeDialogModel::xMinLostFocus(const std::string& text) { setXMin(CStrtod(text.c_str())); }
void XrangeDialogModel::xMaxLostFocus(const std::string& text) { setXMax(CStrtod(text.c_str())); }
void XrangeDialogModel::xStepLostFocus(const std::string& text) { setXStep(CStrtod(text.c_str())); }
void XrangeDialogModel::gridCountLostFocus(const std::string& text) { setGridCount(ReadInteger(text)); }

std::vector<DialogField> XrangeDialogModel::scriptFields() {
  return {
      {"xmin", NumberSetter(*this, &XrangeDialogModel::xMinLostFocus)},
      {"xmax", NumberSetter(*this, &XrangeDialogModel::xMaxLostFocus)},
      {"xstep", NumberSetter(*this, &XrangeDialogModel::xStepLostFocus)},
      {"n",
       [this](std::string_view value) -> std::optional<std::string> {
         const std::string text(value);
         char* end = nullptr;
         const long count = std::strtol(text.c_str(), &end, 10);
         if (text.empty() || *end != '\0' || count < INT_MIN || count > INT_MAX) return "not a whole number";
         gridCountLostFocus(text);
         return std::nullopt;
       }},
      {"use-data-x",
       [this](std::string_view value) -> std::optional<std::string> {
         if (value != "yes" && value != "no") return "answer use-data-x=yes or no";
         if ((value == "yes") != useDataX) toggleUseDataX();
         return std::nullopt;
       }},
  };
}

}  // namespace zentrel
