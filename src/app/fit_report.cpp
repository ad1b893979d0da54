#include "app/fit_report.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "fit/response_shift.h"
#include "fit/catalogue.h"
#include "fit/engine.h"
#include "fit/fit_data.h"
#include "fit/fit_parameters.h"
#include "fit/model_table.h"
#include "model/autoscale.h"
#include "model/data_set.h"
#include "model/document.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"
#include "util/atomic_file.h"

namespace zentrel {

namespace {

using Json = nlohmann::ordered_json;

Json NumberOrNull(double v) { return std::isfinite(v) ? Json(v) : Json(nullptr); }

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string NameOf(const std::vector<std::string>& names, int index) {
  const auto i = static_cast<size_t>(index);
  if (index == kShiftIndex) return kShiftName;
  return i < names.size() ? names[i] : CFormat("a%d", index);
}

Json EndToJson(const IntervalEnd& end) {
  return end.kind == IntervalEnd::Kind::kFound ? Json(end.value) : Json(nullptr);
}

const char* EndKindName(IntervalEnd::Kind kind) {
  switch (kind) {
    case IntervalEnd::Kind::kFound: return "found";
    case IntervalEnd::Kind::kUnbounded: return "unbounded";
    case IntervalEnd::Kind::kFailed: return "failed";
  }
  return "";
}

Json EndDetail(const IntervalEnd& end) {
  Json detail;
  detail["end"] = EndKindName(end.kind);
  if (end.kind != IntervalEnd::Kind::kFound) detail["reached"] = NumberOrNull(end.value);
  if (!end.reason.empty()) detail["reason"] = end.reason;
  return detail;
}

// "1.2345" or "—" for a number that could not be had, for Markdown tables.
std::string Cell(double v) { return std::isfinite(v) ? CFormat("%.6g", v) : std::string("—"); }

}  // namespace

std::string WeightingName(int weighting) {
  switch (weighting) {
    case kWeightEqual: return "equal";
    case kWeightInverseY: return "1/y";
    case kWeightInverseSigmaSquared: return "1/sigma^2";
    case kWeightInverseSqrtY: return "1/sqrt(y)";
    case kWeightPoisson: return "poisson";
    default: return "unknown";
  }
}

FitReport ReportOfFit(const Fit& fit, const Data_Set& set) {
  FitReport report;
  report.dataFile = set.name;
  report.model = std::string(ModelName(fit.modelKind));
  report.order = fit.order;
  report.equation = EquationText(fit);
  report.weighting = WeightingName(fit.weighting);
  report.method = fit.method == kMethodLevenbergMarquardt ? "Levenberg-Marquardt" : "Gridless";
  report.rangeStart = fit.fitStart;
  report.rangeEnd = fit.fitEnd;
  report.iterations = fit.iterationCount;
  const FitData data = FitDataOf(set);
  report.points = CountPointsInRange(data, fit.fitStart, fit.fitEnd);
  const int count = std::min(ParameterCount(fit), kMaxFitParameters);
  // The uncertainties evaluate the model: the state the next step sees stays.
  const NumericError saved = NumericErrorState();
  ClearNumericError();
  Fit copy(fit);
  const std::optional<FitUncertainties> uncertainties = ComputeUncertainties(copy, data);
  NumericErrorState() = saved;
  for (int i = 0; i < count; ++i) {
    const auto k = static_cast<size_t>(i);
    report.names.push_back(ParameterName(fit, i));
    report.values.push_back(fit.params[k]);
    report.held.push_back(fit.freeFlags[k] == 0);
    report.errors.push_back(uncertainties ? uncertainties->errors[k] : std::nullopt);
  }
  // The response's shift follows the family's parameters once it is used.
  if (ShiftInUse(fit)) {
    report.names.push_back(kShiftName);
    report.values.push_back(fit.shift);
    report.held.push_back(fit.shiftFree == 0);
    report.errors.push_back(uncertainties ? uncertainties->errors[kShiftIndex] : std::nullopt);
  }
  report.statistics = SummariseFit(fit, data, uncertainties ? &*uncertainties : nullptr);
  return report;
}

Json StatisticsToJson(const FitSummary& summary, const std::vector<std::string>& names) {
  const GoodnessOfFit& g = summary.goodness;
  Json json;
  json["chi_square"] = NumberOrNull(g.chiSquare);
  json["reduced_chi_square"] = NumberOrNull(g.reducedChiSquare);
  json["degrees_of_freedom"] = g.degreesOfFreedom;
  json["r_squared"] = NumberOrNull(g.rSquared);
  json["aic"] = NumberOrNull(g.aic);
  json["bic"] = NumberOrNull(g.bic);
  json["absolute_weights"] = summary.absoluteWeights;
  Json runs;
  runs["runs"] = summary.runs.runs;
  runs["positive"] = summary.runs.positive;
  runs["negative"] = summary.runs.negative;
  runs["expected"] = NumberOrNull(summary.runs.expected);
  runs["z"] = NumberOrNull(summary.runs.z);
  runs["p"] = NumberOrNull(summary.runs.p);
  json["runs_test"] = runs;
  if (summary.correlation.empty()) {
    json["correlation"] = nullptr;
    return json;
  }
  Json correlation, parameters = Json::array(), matrix = Json::array(), strong = Json::array();
  const size_t n = summary.freeIndex.size();
  for (size_t row = 0; row < n; ++row) {
    parameters.push_back(NameOf(names, summary.freeIndex[row]));
    Json line = Json::array();
    for (size_t column = 0; column < n; ++column) {
      const double r = summary.correlationAt(row, column);
      line.push_back(NumberOrNull(r));
      if (column > row && std::fabs(r) > kStrongCorrelation)
        strong.push_back(Json::array({NameOf(names, summary.freeIndex[row]), NameOf(names, summary.freeIndex[column])}));
    }
    matrix.push_back(line);
  }
  correlation["parameters"] = parameters;
  correlation["matrix"] = matrix;
  correlation["strong"] = strong;  // pairs with |r| > 0.95
  json["correlation"] = correlation;
  return json;
}

Json ConfidenceToJson(const ProfileConfidence& confidence, const std::vector<std::string>& names) {
  Json json;
  json["level"] = confidence.level;
  if (!confidence.error.empty()) json["error"] = confidence.error;
  if (confidence.cancelled) json["cancelled"] = true;
  json["delta_chi_square"] = NumberOrNull(confidence.deltaChiSquare);
  json["scaled"] = confidence.scaled;
  json["chi_square_limit"] = NumberOrNull(confidence.threshold);
  Json intervals = Json::array();
  for (const ProfileInterval& interval : confidence.intervals) {
    Json entry;
    entry["parameter"] = interval.parameter;
    entry["name"] = NameOf(names, interval.parameter);
    entry["best"] = NumberOrNull(interval.best);
    entry["lower"] = EndToJson(interval.lower);
    entry["upper"] = EndToJson(interval.upper);
    if (interval.lower.kind != IntervalEnd::Kind::kFound) entry["lower_detail"] = EndDetail(interval.lower);
    if (interval.upper.kind != IntervalEnd::Kind::kFound) entry["upper_detail"] = EndDetail(interval.upper);
    entry["refits"] = interval.refits;
    intervals.push_back(entry);
  }
  json["intervals"] = intervals;
  return json;
}

std::string MarkdownReport(const FitReport& report, const std::string& picture, const std::string& pictureNote) {
  std::string out = "# Fit report\n\n";
  out += "| | |\n|---|---|\n";
  out += "| Data | " + report.dataFile + " |\n";
  out += CFormat("| Model | %s, order %d |\n", report.model.c_str(), report.order);
  out += "| Equation | `" + report.equation + "` |\n";
  out += "| Weighting | " + report.weighting + " |\n";
  out += "| Method | " + report.method + " |\n";
  out += CFormat("| Range | %.6g to %.6g (%d points) |\n", report.rangeStart, report.rangeEnd, report.points);
  out += CFormat("| Iterations | %d%s |\n", report.iterations,
                 !report.converged ? "" : *report.converged ? ", converged" : ", not converged");
  const ProfileInterval* none = nullptr;
  auto intervalOf = [&](size_t i) {
    if (!report.confidence) return none;
    for (const ProfileInterval& interval : report.confidence->intervals)
      if (static_cast<size_t>(interval.parameter) == i) return &interval;
    return none;
  };
  const bool withIntervals = report.confidence && report.confidence->ok();
  out += "\n## Parameters\n\n";
  out += withIntervals ? CFormat("| Parameter | Value | Standard error | %.3g interval |\n|---|---|---|---|\n",
                                 report.confidence->level)
                       : std::string("| Parameter | Value | Standard error |\n|---|---|---|\n");
  for (size_t i = 0; i < report.names.size(); ++i) {
    const std::string error = report.held[i] ? std::string("held") : report.errors[i] ? Cell(*report.errors[i]) : std::string("—");
    out += "| " + report.names[i] + " | " + Cell(report.values[i]) + " | " + error + " |";
    if (withIntervals) {
      const ProfileInterval* interval = intervalOf(i);
      out += interval ? " [" + IntervalEndText(interval->lower) + ", " + IntervalEndText(interval->upper) + "] |" : " |";
    }
    out += "\n";
  }
  if (report.confidence) {
    out += "\n## Confidence intervals\n\n";
    for (const std::string& line : ConfidenceLines(*report.confidence, report.names)) out += "    " + line + "\n";
  }
  out += "\n## Statistics\n\n";
  if (!report.statistics) {
    out += "The model cannot be evaluated at the fitted parameters.\n";
  } else {
    const FitSummary& s = *report.statistics;
    const GoodnessOfFit& g = s.goodness;
    out += "| | |\n|---|---|\n";
    out += "| Chi-square | " + Cell(g.chiSquare) + " |\n";
    out += "| Reduced chi-square | " + Cell(g.reducedChiSquare) + " |\n";
    out += CFormat("| Degrees of freedom | %d |\n", g.degreesOfFreedom);
    out += "| R² | " + Cell(g.rSquared) + " |\n";
    out += "| AIC | " + Cell(g.aic) + " |\n";
    out += "| BIC | " + Cell(g.bic) + " |\n";
    out += CFormat("| Runs test | %d runs (%d +, %d −), expected %s, z %s, p %s |\n", s.runs.runs, s.runs.positive,
                   s.runs.negative, Cell(s.runs.expected).c_str(), Cell(s.runs.z).c_str(), Cell(s.runs.p).c_str());
    if (!s.correlation.empty()) {
      out += "\n### Correlation matrix\n\nEntries marked * have |r| > 0.95.\n\n|";
      for (int index : s.freeIndex) out += " | " + NameOf(report.names, index);
      out += " |\n|---";
      for (size_t k = 0; k < s.freeIndex.size(); ++k) out += "|---";
      out += "|\n";
      for (size_t row = 0; row < s.freeIndex.size(); ++row) {
        out += "| " + NameOf(report.names, s.freeIndex[row]);
        for (size_t column = 0; column < s.freeIndex.size(); ++column) {
          const double r = s.correlationAt(row, column);
          out += " | " + (std::isfinite(r) ? CFormat("%.4f", r) : std::string("—"));
          if (row != column && std::fabs(r) > kStrongCorrelation) out += " *";
        }
        out += " |\n";
      }
    }
  }
  out += "\n## Plot\n\n";
  out += picture.empty() ? pictureNote + "\n" : "![Data, fit and residuals](" + picture + ")\n";
  return out;
}

Json JsonReport(const FitReport& report, const std::string& picture, const std::string& pictureNote) {
  Json json;
  json["data"] = report.dataFile;
  json["model"] = report.model;
  json["order"] = report.order;
  json["equation"] = report.equation;
  json["weighting"] = report.weighting;
  json["method"] = report.method;
  json["range"] = Json::array({NumberOrNull(report.rangeStart), NumberOrNull(report.rangeEnd)});
  json["points"] = report.points;
  json["iterations"] = report.iterations;
  if (report.converged) json["converged"] = *report.converged;
  Json parameters = Json::array();
  for (size_t i = 0; i < report.names.size(); ++i) {
    Json entry;
    entry["name"] = report.names[i];
    entry["value"] = NumberOrNull(report.values[i]);
    entry["error"] = report.errors[i] ? NumberOrNull(*report.errors[i]) : Json(nullptr);
    entry["held"] = static_cast<bool>(report.held[i]);
    parameters.push_back(entry);
  }
  json["parameters"] = parameters;
  json["statistics"] = report.statistics ? StatisticsToJson(*report.statistics, report.names) : Json(nullptr);
  if (report.confidence) json["confidence"] = ConfidenceToJson(*report.confidence, report.names);
  json["plot"] = picture.empty() ? Json(nullptr) : Json(picture);
  if (picture.empty()) json["plot_note"] = pictureNote;
  return json;
}

std::unique_ptr<CZentrelDoc> ReportPictureDocument(const Data_Set& set, const Fit& fit, const Graph* look) {
  auto doc = std::make_unique<CZentrelDoc>();
  auto copy = std::make_unique<Data_Set>();
  copy->CopyColumnsFrom(set);
  copy->name = set.name;
  auto fitCopy = std::make_unique<Fit>(fit);
  fitCopy->hidden = 0;
  copy->fits.push_back(std::move(fitCopy));
  doc->AppendSet(std::move(copy));
  doc->drawPreferences.style = DrawStyle::Paper;
  doc->graph.showResiduals = 1;
  doc->graph.showMarkers = 1;
  if (look != nullptr) {
    doc->graph.title = look->title;
    doc->graph.xLabel = look->xLabel;
    doc->graph.yLabel = look->yLabel;
    doc->graph.logX = look->logX;
    doc->graph.logY = look->logY;
    doc->graph.showXErrorBars = look->showXErrorBars;
    doc->graph.showYErrorBars = look->showYErrorBars;
  }
  Autoscale(*doc);
  return doc;
}

ReportWrite WriteFitReport(const std::string& path, const FitReport& report, const CZentrelDoc& picture,
                           const ImageWriter& draw) {
  ReportWrite result;
  const std::string extension = Lower(std::filesystem::path(path).extension().string());
  if (extension != ".md" && extension != ".json") {
    result.error = path + ": the report file name must end in .md or .json";
    return result;
  }
  const std::filesystem::path imagePath = std::filesystem::path(path).replace_extension(".png");
  if (!draw) {
    result.pictureNote = "No plot: this program was built without drawing.";
  } else if (std::string problem = draw(picture, imagePath.string()); !problem.empty()) {
    result.pictureNote = "No plot: " + problem;
  } else {
    result.picture = imagePath.filename().string();
  }
  const std::string text = extension == ".md" ? MarkdownReport(report, result.picture, result.pictureNote)
                                              : JsonReport(report, result.picture, result.pictureNote)
                                                        .dump(2, ' ', false, Json::error_handler_t::replace) +
                                                    "\n";
  if (std::string problem = WriteFileAtomically(path, text); !problem.empty()) result.error = path + ": " + problem;
  return result;
}

}  // namespace zentrel
