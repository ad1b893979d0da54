#pragma once
// A fit report: what a fit found and how far it can be trusted, as
// Markdown or JSON, with a picture of the data, the fit and the residuals
// written beside it. Export Fit Report and `zentrel-cli fit --report` write
// it.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "fit/fit_summary.h"
#include "fit/profile_confidence.h"

namespace zentrel {

class CZentrelDoc;
class Data_Set;
class Fit;
class Graph;

struct FitReport {
  std::string dataFile;  // the data's file, or the set's name
  std::string model;
  int order = 1;
  std::string equation;  // with the fitted values
  std::string weighting;
  std::string method;
  double rangeStart = 0, rangeEnd = 0;
  int points = 0;
  int iterations = 0;
  std::optional<bool> converged;  // known to zentrel-cli only
  std::vector<std::string> names;
  std::vector<double> values;
  std::vector<std::optional<double>> errors;  // nothing for held parameters
  std::vector<bool> held;
  std::optional<FitSummary> statistics;
  std::optional<ProfileConfidence> confidence;
};

// The report of a fit record on its set (the Fitting dialog's fit).
FitReport ReportOfFit(const Fit& fit, const Data_Set& set);

// "equal", "1/y", "1/sigma^2", "1/sqrt(y)".
std::string WeightingName(int weighting);

// Numbers that could not be had (NaN, infinities) are null.
nlohmann::ordered_json StatisticsToJson(const FitSummary& summary, const std::vector<std::string>& names);
nlohmann::ordered_json ConfidenceToJson(const ProfileConfidence& confidence, const std::vector<std::string>& names);

// picture: the PNG's file name, relative to the report; empty with a note
// saying why there is none.
std::string MarkdownReport(const FitReport& report, const std::string& picture, const std::string& pictureNote);
nlohmann::ordered_json JsonReport(const FitReport& report, const std::string& picture, const std::string& pictureNote);

// Draws a document into an image file; an error message, empty on success.
using ImageWriter = std::function<std::string(const CZentrelDoc& doc, const std::string& path)>;

// A document holding a copy of the set with only this fit, drawn in the
// paper style with point markers and the residual panel, autoscaled: the
// report's picture. `look` lends its title, axis labels, log axes and
// error bars (the window's graph); none: plain axes.
std::unique_ptr<CZentrelDoc> ReportPictureDocument(const Data_Set& set, const Fit& fit, const Graph* look = nullptr);

struct ReportWrite {
  std::string error;        // the report could not be written; nothing was
  std::string picture;      // the PNG written beside it, when there is one
  std::string pictureNote;  // why the picture is missing; the report is written all the same
};

// Writes the report to path (.md or .json, any case; replaced in one step)
// and the picture to the same path ending in .png. Without a writer the
// report says it has no picture.
ReportWrite WriteFitReport(const std::string& path, const FitReport& report, const CZentrelDoc& picture,
                           const ImageWriter& draw);

}  // namespace zentrel
