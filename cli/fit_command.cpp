#include "fit_command.h"
#include "fit_global_command.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "app/document_json.h"
#include "app/script/script_values.h"
#include "fit/fit_bounds.h"
#include "fit/catalogue.h"
#include "fit/fit_run.h"
#include "io/data_import.h"
#include "io/io_status.h"
#include "model/data_set.h"
#include "model/document.h"
#include "fit/model_table.h"
#include "numeric/c_format.h"
#include "util/atomic_file.h"

namespace zentrel {

CLI::App* AddFitSubcommand(CLI::App& app, FitCommandOptions& options) {
  auto* fit = app.add_subcommand("fit", "Fit a model to data files (several files are fitted in parallel)");
  fit->add_option("FILE", options.files, "Data files (.txt, .csv, .dat, .wav)")->required();
  fit->add_option("--model", options.model, "Model name from the catalogue (default Exponential)");
  fit->add_option("--order", options.order, "Model order");
  fit->add_option("--equation", options.equation, "Formula of a custom function (implies --model \"Custom function\")");
  fit->add_option("--params", options.params, "Start values V,V,… from parameter 0 (y0, x0, …); the rest 0");
  fit->add_option("--hold", options.hold, "Indices of parameters held at their start values, I,J,…");
  fit->add_option("--bounds", options.bounds,
                  "Bounds I:LO:HI,… keeping parameter I inside LO..HI (LO or HI empty: none; start values outside "
                  "are moved to the nearer bound)");
  fit->add_option("--range", options.range, "Fit range A:B in x (default: every point)");
  fit->add_option("--weighting", options.weighting, "equal, 1/y, 1/sigma^2, 1/sqrt(y) or poisson (Poisson likelihood)");
  fit->add_option("--method", options.method, "lm (Levenberg-Marquardt) or gridless");
  fit->add_option("--max-iter", options.maxIterations, "Iteration limit (default 100000; 0: until converged)");
  fit->add_option("--threads", options.threads, "Worker threads (default: one per core)");
  fit->add_flag("--json", options.json, "One JSON object per file and line");
  fit->add_flag("--csv", options.csv, "A table with one row per file");
  fit->add_flag("--no-header", options.noHeader, "With --csv: rows only, no header line (for joining shards)");
  fit->add_option("--output", options.output,
                  "Write the results to this file (replaced in one step) instead of standard output");
  fit->add_option("--convolve-with", options.convolveWith,
                  "Response file (read like the data files): every model is convolved with it");
  fit->add_option("--shift", options.shift,
                  "With --convolve-with: the response's shift along x in x units (default 0; held unless "
                  "--free-shift)");
  fit->add_flag("--free-shift", options.freeShift, "With --convolve-with: fit the response's shift too");
  fit->add_flag("--guess", options.guess,
                "Guess the start values from each file's data in the range; --params still sets the held ones");
  fit->add_option("--confidence", options.confidence,
                  "Profile confidence intervals of the free parameters at this level (0.683 or 0.95)");
  fit->add_option("--report", options.report,
                  "Write a fit report of the one data file to FILE.md or FILE.json, its plot to FILE.png");
  fit->add_flag("--global", options.global,
                "Fit every file jointly (one Levenberg-Marquardt fit, one chi-square); see --share");
  fit->add_option("--share", options.share,
                  "With --global: indices I,J,… of the parameters every file shares (the rest are fitted per file)");
  return fit;
}

namespace {

// Reads a data file by its extension into a new set; the message when it
// cannot ("Couldn't open file NAME: why").
std::string ImportFile(const std::string& path, Data_Set& set) {
  const ImportReport report = ImportDataFile(DataFormatOf(path), set, path);
  if (!report.ok()) return ImportStatusText(report, std::filesystem::path(path).filename().string());
  return {};
}

// "I:LO:HI,…" into the request's bounds; an empty LO or HI is no bound on
// that side.
std::string ParseBounds(const std::string& text, FitRequest& request) {
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const size_t first = item.find(':');
    const size_t second = first == std::string::npos ? std::string::npos : item.find(':', first + 1);
    if (second == std::string::npos || item.find(':', second + 1) != std::string::npos)
      return "--bounds: '" + item + "' is not I:LO:HI";
    const auto index = ParseInteger(item.substr(0, first));
    const std::string lower = item.substr(first + 1, second - first - 1);
    const std::string upper = item.substr(second + 1);
    const auto lo = lower.empty() ? std::optional<double>(-HUGE_VAL) : ParseDouble(lower);
    const auto hi = upper.empty() ? std::optional<double>(HUGE_VAL) : ParseDouble(upper);
    if (!index) return "--bounds: '" + item + "' does not start with a parameter index";
    if (!lo || !hi) return "--bounds: '" + item + "' has a bound that is not a number";
    request.bounds.push_back({static_cast<int>(*index), *lo, *hi});
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return {};
}

// Builds the request from the options; an error message when they are bad.
std::string BuildRequest(const FitCommandOptions& options, FitRequest& request) {
  if (!options.equation.empty() && options.model.empty()) request.model = std::string(ModelName(kCustomFunction));
  else if (!options.model.empty()) {
    // Exact names first; otherwise a name that differs only in case.
    std::optional<std::string> match;
    for (auto name : ModelNames()) {
      if (name == options.model) match = std::string(name);
    }
    if (!match) {
      for (auto name : ModelNames()) {
        if (std::equal(name.begin(), name.end(), options.model.begin(), options.model.end(),
                       [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                   std::tolower(static_cast<unsigned char>(b)); }))
          match = std::string(name);
      }
    }
    if (!match) return "unknown model '" + options.model + "'";
    request.model = *match;
  }
  request.order = options.order;
  request.equation = options.equation;
  if (!options.params.empty()) {
    auto values = ParseNumberList(options.params);
    if (!values) return "--params: '" + options.params + "' is not a list of numbers";
    request.params = *values;
  }
  if (!options.hold.empty()) {
    size_t start = 0;
    while (start <= options.hold.size()) {
      const size_t comma = options.hold.find(',', start);
      const std::string item = options.hold.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      auto index = ParseInteger(item);
      if (!index) return "--hold: '" + item + "' is not a parameter index";
      request.hold.push_back(static_cast<int>(*index));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  if (!options.bounds.empty())
    if (std::string problem = ParseBounds(options.bounds, request); !problem.empty()) return problem;
  if (!options.range.empty()) {
    const size_t colon = options.range.find(':');
    auto a = colon == std::string::npos ? std::nullopt : ParseDouble(options.range.substr(0, colon));
    auto b = colon == std::string::npos ? std::nullopt : ParseDouble(options.range.substr(colon + 1));
    if (!a || !b) return "--range: '" + options.range + "' is not A:B";
    request.range = std::make_pair(*a, *b);
  }
  static const std::pair<const char*, int> kWeightings[] = {
      {"equal", kWeightEqual}, {"1/y", kWeightInverseY}, {"1/sigma^2", kWeightInverseSigmaSquared},
      {"1/sqrt(y)", kWeightInverseSqrtY}, {"poisson", kWeightPoisson}};
  bool knownWeighting = false;
  for (auto [name, value] : kWeightings) {
    if (options.weighting == name) {
      request.weighting = value;
      knownWeighting = true;
    }
  }
  if (!knownWeighting) return "--weighting must be equal, 1/y, 1/sigma^2, 1/sqrt(y) or poisson";
  if (options.method == "lm") request.method = kMethodLevenbergMarquardt;
  else if (options.method == "gridless") request.method = kMethodGridless;
  else return "--method must be lm or gridless";
  request.maxIterations = options.maxIterations;
  request.guess = options.guess;

  if (!options.confidence.empty()) {
    const auto level = ParseDouble(options.confidence);
    if (!level || !(*level > 0 && *level < 1))
      return "--confidence must be a level between 0 and 1 (0.683 or 0.95), not '" + options.confidence + "'";
    request.confidence = *level;
  }
  if (!options.report.empty()) {
    if (options.files.size() != 1) return "--report writes the report of one data file; give only one";
    std::string extension = std::filesystem::path(options.report).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".md" && extension != ".json") return "--report: the file name must end in .md or .json";
    request.keepFit = true;
  }
  if (std::string problem = ValidateFitRequest(request); !problem.empty()) return problem;
  // The response is read later; the shift goes with it.
  if ((!options.shift.empty() || options.freeShift) && options.convolveWith.empty())
    return "--shift and --free-shift need --convolve-with";
  if (!options.shift.empty()) {
    const auto shift = ParseDouble(options.shift);
    if (!shift || !std::isfinite(*shift)) return "--shift: '" + options.shift + "' is not a number";
    request.shift = *shift;
  }
  request.freeShift = options.freeShift;
  return {};
}

// The response a convolved fit uses: at least five points on an ascending
// grid, with an area to normalise by.
std::string LoadResponse(const std::string& path, Data_Set& response) {
  if (std::string problem = ImportFile(path, response); !problem.empty()) return problem;
  if (response.ColumnCount() < 2 || response.DrawablePointCount() < 5) return "a response needs at least 5 points";
  if (SimpsonArea(response) == 0) return "the response has no area to normalise by";
  return {};
}

FitRunResult FitFile(const std::string& path, const FitRequest& request) {
  Data_Set set;
  if (std::string problem = ImportFile(path, set); !problem.empty()) {
    FitRunResult failed;
    failed.error = problem;
    return failed;
  }
  return RunFit(set, request);
}

nlohmann::ordered_json ResultToJson(const std::string& file, const FitRunResult& r) {
  nlohmann::ordered_json json;
  json["file"] = file;
  if (!r.error.empty()) json["error"] = r.error;
  json["model"] = r.model;
  json["order"] = r.order;
  json["names"] = r.names;
  AddParameterJson(json, r);
  if (!r.uncertaintyNote.empty()) json["uncertainty_note"] = r.uncertaintyNote;
  if (!r.guessedStart.empty()) {
    nlohmann::ordered_json start = nlohmann::ordered_json::array();
    for (double v : r.guessedStart) start.push_back(JsonNumber(v));
    json["guessed_start"] = start;
  }
  // A failed fit has no chi-square; neither has a reduced one without
  // degrees of freedom.
  json["chi_square"] = r.failed() ? nlohmann::ordered_json(nullptr) : JsonNumber(r.chiSquare);
  json["reduced_chi_square"] =
      r.failed() || std::isnan(r.reducedChiSquare) ? nlohmann::ordered_json(nullptr) : JsonNumber(r.reducedChiSquare);
  json["iterations"] = r.iterations;
  json["converged"] = r.converged;
  json["points"] = r.points;
  if (r.statistics) json["statistics"] = StatisticsToJson(*r.statistics, r.names);
  if (r.confidence) json["confidence"] = ConfidenceToJson(*r.confidence, r.names);
  return json;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string ErrorText(const FitRunResult& r, size_t i) {
  if (r.errors[i]) return CFormat("+/- %.6g", *r.errors[i]);
  if (i < r.held.size() && r.held[i]) return "held";
  return "free, no error";
}

void PrintTable(std::string& out, const std::string& file, const FitRunResult& r) {
  out += CFormat("%s: %s, order %d\n", file.c_str(), r.model.c_str(), r.order);
  for (size_t i = 0; i < r.params.size(); ++i) {
    const std::string bound = i < r.atBound.size() && r.atBound[i] != BoundSide::kInside
                                  ? std::string("  (") + BoundHitText(r.atBound[i]) + ")"
                                  : std::string();
    out += CFormat("  %-8s %16.10g  %s%s\n", r.names[i].c_str(), r.params[i], ErrorText(r, i).c_str(), bound.c_str());
  }
  if (!r.uncertaintyNote.empty()) out += CFormat("  %s\n", r.uncertaintyNote.c_str());
  if (!r.guessedStart.empty()) {
    out += "  from guessed start values";
    for (double v : r.guessedStart) out += CFormat(" %.6g", v);
    out += "\n";
  }
  const std::string reduced = std::isnan(r.reducedChiSquare) ? std::string("no reduced (no degrees of freedom)")
                                                             : CFormat("reduced %.6g", r.reducedChiSquare);
  out += CFormat("  chi-square %.10g, %s, %d %s, %d iterations, %s\n", r.chiSquare, reduced.c_str(), r.points,
                 r.points == 1 ? "point" : "points", r.iterations, r.converged ? "converged" : "not converged");
  // The statistics follow the lines above, which scripts may read as they were.
  if (r.statistics)
    for (const std::string& line : StatisticsLines(*r.statistics, r.names)) out += "  " + line + "\n";
  if (r.confidence)
    for (const std::string& line : ConfidenceLines(*r.confidence, r.names)) out += "  " + line + "\n";
}

const char* MethodName(int method) { return method == kMethodLevenbergMarquardt ? "Levenberg-Marquardt" : "Gridless"; }

// The report of the one file's fit, with its plot: 0, or 1 when it could
// not be written.
int WriteReport(const FitCommandOptions& options, const FitRequest& request, const FitRunResult& r) {
  Data_Set set;
  if (std::string problem = ImportFile(options.files[0], set); !problem.empty() || !r.fitted) return 1;
  set.name = options.files[0];
  FitReport report;
  report.dataFile = options.files[0];
  report.model = r.model;
  report.order = r.order;
  report.equation = EquationText(*r.fitted);
  report.weighting = WeightingName(request.weighting);
  report.method = MethodName(request.method);
  report.rangeStart = r.fitted->fitStart;
  report.rangeEnd = r.fitted->fitEnd;
  report.points = r.points;
  report.iterations = r.iterations;
  report.converged = r.converged;
  report.names = r.names;
  report.values = r.params;
  report.errors = r.errors;
  report.held = r.held;
  report.statistics = r.statistics;
  report.confidence = r.confidence;
  const auto picture = ReportPictureDocument(set, *r.fitted);
  const ReportWrite written = WriteFitReport(options.report, report, *picture, options.drawImage);
  if (!written.error.empty()) {
    std::cerr << "zentrel-cli fit: --report " << written.error << '\n';
    return 1;
  }
  if (!written.pictureNote.empty()) {
    std::cerr << "zentrel-cli fit: --report " << options.report << ": " << written.pictureNote << '\n';
    // Without drawing in this build the report says so; a drawing that failed is a failure.
    return options.drawImage ? 1 : 0;
  }
  return 0;
}

// A number of a fit's result for the CSV table; empty when there is none.
std::string CsvNumber(bool present, double v) { return present && !std::isnan(v) ? CFormat("%.17g", v) : std::string(); }

}  // namespace

int RunFitCommand(const FitCommandOptions& options) {
  FitRequest request;
  if (std::string problem = BuildRequest(options, request); !problem.empty()) {
    std::cerr << "zentrel-cli fit: " << problem << '\n';
    return 2;
  }
  if (!options.share.empty() && !options.global) {
    std::cerr << "zentrel-cli fit: --share needs --global\n";
    return 2;
  }
  // One response for every file, read once and shared read-only by the workers.
  Data_Set response;
  if (!options.convolveWith.empty()) {
    if (std::string problem = LoadResponse(options.convolveWith, response); !problem.empty()) {
      std::cerr << "zentrel-cli fit: --convolve-with " << options.convolveWith << ": " << problem << '\n';
      return 2;
    }
    request.convolveWith = &response;
  }
  if (options.global) return RunGlobalFitCommand(options, request);
  const size_t count = options.files.size();
  std::vector<FitRunResult> results(count);
  unsigned workers = options.threads > 0 ? static_cast<unsigned>(options.threads)
                                         : std::max(1u, std::thread::hardware_concurrency());
  workers = static_cast<unsigned>(std::min<size_t>(workers, count));
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < count; i = next++) results[i] = FitFile(options.files[i], request);
  };
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < workers; ++t) pool.emplace_back(work);
  work();
  for (auto& thread : pool) thread.join();

  // Everything goes to one text first, so --output can replace its file
  // in one step and a shard never leaves half a table behind.
  std::string out;
  if (options.csv) {
    std::vector<std::string> names;
    for (const auto& r : results)
      if (r.error.empty() && r.names.size() > names.size()) names = r.names;
    if (!options.noHeader) {
      out += "file,error,model,order,chi_square,reduced_chi_square,iterations,converged,points";
      for (const auto& name : names) out += CFormat(",%s,%s_error", CsvField(name).c_str(), CsvField(name).c_str());
      out += "\n";
    }
    for (size_t i = 0; i < count; ++i) {
      const auto& r = results[i];
      out += CFormat("%s,%s,%s,%d,%s,%s,%d,%s,%d", CsvField(options.files[i]).c_str(), CsvField(r.error).c_str(),
                     CsvField(r.model).c_str(), r.order, CsvNumber(!r.failed(), r.chiSquare).c_str(),
                     CsvNumber(!r.failed(), r.reducedChiSquare).c_str(), r.iterations,
                     r.converged ? "true" : "false", r.points);
      for (size_t k = 0; k < names.size(); ++k) {
        out += k < r.params.size() ? CFormat(",%.17g,", r.params[k]) : std::string(",,");
        if (k < r.errors.size() && r.errors[k]) out += CFormat("%.17g", *r.errors[k]);
      }
      out += "\n";
    }
  }
  bool anyFailed = false;
  for (size_t i = 0; i < count; ++i) {
    const auto& r = results[i];
    if (!r.error.empty()) anyFailed = true;
    if (r.confidence && !r.confidence->error.empty()) anyFailed = true;
    if (options.csv) continue;
    if (options.json) {
      out += ResultToJson(options.files[i], r).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
      out += "\n";
    } else if (r.failed() && r.names.empty()) {
      std::fprintf(stderr, "%s: %s\n", options.files[i].c_str(), r.error.c_str());
    } else if (r.failed()) {
      std::fprintf(stderr, "%s: the fit failed after %d iterations: %s\n", options.files[i].c_str(), r.iterations,
                   r.error.c_str());
    } else {
      PrintTable(out, options.files[i], r);
    }
  }
  if (!options.report.empty() && !results.empty() && !results[0].failed() &&
      WriteReport(options, request, results[0]) != 0)
    anyFailed = true;
  if (!options.output.empty()) {
    if (std::string problem = WriteFileAtomically(options.output, out); !problem.empty()) {
      std::cerr << "zentrel-cli fit: --output " << options.output << ": " << problem << '\n';
      return 1;
    }
  } else {
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
  }
  return anyFailed ? 1 : 0;
}

void AddParameterJson(nlohmann::ordered_json& json, const FitRunResult& r) {
  nlohmann::ordered_json params = nlohmann::ordered_json::array(), errors = nlohmann::ordered_json::array();
  for (double v : r.params) params.push_back(JsonNumber(v));
  for (const auto& e : r.errors) errors.push_back(e ? JsonNumber(*e) : nlohmann::ordered_json(nullptr));
  json["params"] = params;
  json["errors"] = errors;
  // Only a bounded fit has the keys, so unbounded output stays as it was.
  if (!r.atBound.empty()) {
    nlohmann::ordered_json sides = nlohmann::ordered_json::array();
    for (BoundSide side : r.atBound)
      sides.push_back(side == BoundSide::kLower   ? nlohmann::ordered_json("lower")
                      : side == BoundSide::kUpper ? nlohmann::ordered_json("upper")
                                                  : nlohmann::ordered_json(nullptr));
    json["at_bound"] = sides;
  }
}

}  // namespace zentrel
