#include "app/document_json.h"

#include <cmath>

#include "fit/fit_bounds.h"
#include "fit/model_table.h"
#include "fit/response_shift.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {

namespace {

using Json = nlohmann::ordered_json;

Json Number(double v) { return JsonNumber(v); }

template <typename Range>
Json Numbers(const Range& values) {
  Json array = Json::array();
  for (double v : values) array.push_back(Number(v));
  return array;
}

Json FitToJson(const CZentrelDoc& doc, const Fit& fit) {
  Json json;
  json["name"] = fit.name;
  json["model"] = std::string(ModelName(fit.modelKind));
  json["kind"] = fit.modelKind;
  json["order"] = fit.order;
  json["equation"] = fit.modelKind == kCustomFunction ? fit.customEquation : std::string();
  json["params"] = Numbers(fit.params);
  Json freeFlags = Json::array();
  for (int flag : fit.freeFlags) freeFlags.push_back(flag != 0);
  json["free"] = freeFlags;
  json["steps"] = Numbers(fit.steps);
  json["fit_start"] = Number(fit.fitStart);
  json["fit_end"] = Number(fit.fitEnd);
  json["weighting"] = fit.weighting;
  json["method"] = fit.method;
  json["hidden"] = fit.hidden != 0;
  json["colour"] = fit.colour;
  json["iterations"] = fit.iterationCount;
  json["chi_square"] = Number(fit.chiSquare);
  const int source = fit.convolve ? doc.IndexOf(fit.convolutionSource) : -1;
  json["convolve_source"] = source >= 0 ? Json(source) : Json(nullptr);
  json["iterating"] = fit.iterating != 0;
  // Only a fit that uses the response's shift has the keys.
  if (ShiftInUse(fit)) {
    json["shift"] = Number(fit.shift);
    json["free_shift"] = fit.shiftFree != 0;
  }
  // Only a bounded fit has the keys: other dumps stay as they were.
  if (HasBounds(fit)) {
    json["lower_bounds"] = Numbers(fit.lowerBounds);
    json["upper_bounds"] = Numbers(fit.upperBounds);
  }
  return json;
}

Json SetToJson(const CZentrelDoc& doc, const Data_Set& set) {
  Json json;
  json["name"] = set.name;
  json["comment"] = set.comment;
  json["active"] = set.active != 0;
  json["connect_lines"] = set.connectLines != 0;
  json["color"] = set.color;
  json["symbol_size"] = Number(set.symbolSize);
  json["modified"] = set.modified;
  Json columns = Json::array();
  for (int c = 0; c < set.ColumnCount(); ++c) {
    const double* cells = set.ColumnData(c);
    columns.push_back(Numbers(std::span<const double>(cells, static_cast<size_t>(set.PointCount(c)))));
  }
  json["columns"] = columns;
  Json fits = Json::array();
  for (const auto& fit : set.fits) fits.push_back(FitToJson(doc, *fit));
  json["fits"] = fits;
  return json;
}

Json GraphToJson(const Graph& g) {
  Json json;
  json["x_min"] = Number(g.xMin);
  json["x_max"] = Number(g.xMax);
  json["y_min"] = Number(g.yMin);
  json["y_max"] = Number(g.yMax);
  json["title"] = g.title;
  json["x_label"] = g.xLabel;
  json["y_label"] = g.yLabel;
  json["log_x"] = g.logX != 0;
  json["log_y"] = g.logY != 0;
  json["polar"] = g.polar != 0;
  json["radians"] = g.radians != 0;
  json["polar_origin"] = Number(g.polarOrigin);
  json["show_markers"] = g.showMarkers != 0;
  json["show_fit_equations"] = g.showFitEquations != 0;
  json["show_x_error_bars"] = g.showXErrorBars != 0;
  json["show_y_error_bars"] = g.showYErrorBars != 0;
  json["show_residuals"] = g.showResiduals != 0;
  json["show_zero_lines"] = g.showZeroLines != 0;
  json["residual_scale"] = Number(g.residualScale);
  return json;
}

}  // namespace

nlohmann::ordered_json JsonNumber(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  return v;
}

nlohmann::ordered_json DocumentToJson(const CZentrelDoc& doc) {
  Json json;
  Json sets = Json::array();
  for (const auto& set : doc.sets) sets.push_back(SetToJson(doc, *set));
  json["sets"] = sets;
  json["graph"] = GraphToJson(doc.graph);
  json["use_abbreviations"] = doc.useAbbreviations != 0;
  json["selection"] = Json::array({Number(doc.selectionX1), Number(doc.selectionY1), Number(doc.selectionX2),
                                   Number(doc.selectionY2)});
  json["status"] = doc.statusText;
  json["undo_available"] = doc.undoAvailable != 0;
  return json;
}

}  // namespace zentrel
