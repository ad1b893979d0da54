#include "fit_global_command.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include <nlohmann/json.hpp>

#include "app/document_json.h"
#include "app/fit_report.h"
#include "app/script/script_values.h"
#include "fit/fit_bounds.h"
#include "fit/global_fit_run.h"
#include "fit_command.h"
#include "io/data_import.h"
#include "io/io_status.h"
#include "model/data_set.h"
#include "numeric/c_format.h"
#include "util/atomic_file.h"

namespace zentrel {

std::string ParseShareList(const std::string& text, std::vector<int>& indices) {
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const auto index = ParseInteger(item);
    if (!index) return "--share: '" + item + "' is not a parameter index";
    indices.push_back(static_cast<int>(*index));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return {};
}

namespace {

nlohmann::ordered_json NumberOrNull(bool present, double v) {
  return present && !std::isnan(v) ? JsonNumber(v) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json ToJson(const GlobalFitRunResult& r) {
  nlohmann::ordered_json json;
  json["global"] = true;
  if (r.failed()) json["error"] = r.error;
  const FitRunResult* first = r.sets.empty() ? nullptr : &r.sets.front();
  json["model"] = first ? first->model : std::string();
  json["order"] = first ? first->order : 0;
  json["names"] = first ? first->names : std::vector<std::string>{};
  json["shared"] = r.shared;
  nlohmann::ordered_json sets = nlohmann::ordered_json::array();
  for (size_t s = 0; s < r.sets.size(); ++s) {
    const FitRunResult& one = r.sets[s];
    nlohmann::ordered_json set;
    set["file"] = r.labels[s];
    AddParameterJson(set, one);
    if (!one.guessedStart.empty()) {
      nlohmann::ordered_json start = nlohmann::ordered_json::array();
      for (double v : one.guessedStart) start.push_back(JsonNumber(v));
      set["guessed_start"] = start;
    }
    set["chi_square"] = NumberOrNull(!r.failed(), one.chiSquare);
    set["points"] = one.points;
    if (one.statistics) set["statistics"] = StatisticsToJson(*one.statistics, one.names);
    sets.push_back(set);
  }
  json["sets"] = sets;
  if (!r.uncertaintyNote.empty()) json["uncertainty_note"] = r.uncertaintyNote;
  json["chi_square"] = NumberOrNull(!r.failed(), r.chiSquare);
  json["reduced_chi_square"] = NumberOrNull(!r.failed(), r.reducedChiSquare);
  json["points"] = r.points;
  json["free_parameters"] = r.freeCount;
  json["iterations"] = r.iterations;
  json["converged"] = r.converged;
  return json;
}

std::string ErrorText(const FitRunResult& r, size_t i) {
  if (r.errors[i]) return CFormat("+/- %.6g", *r.errors[i]);
  if (r.held[i]) return "held";
  return "free, no error";
}

void PrintTable(std::string& out, const GlobalFitRunResult& r) {
  const FitRunResult& first = r.sets.front();
  std::string shared;
  for (size_t i = 0; i < r.shared.size(); ++i)
    if (r.shared[i]) shared += (shared.empty() ? "" : ", ") + first.names[i];
  out += CFormat("global fit of %d sets: %s, order %d, shared: %s\n", static_cast<int>(r.sets.size()),
                 first.model.c_str(), first.order, shared.empty() ? "none" : shared.c_str());
  for (size_t s = 0; s < r.sets.size(); ++s) {
    const FitRunResult& one = r.sets[s];
    out += CFormat("%s:\n", r.labels[s].c_str());
    for (size_t i = 0; i < one.params.size(); ++i) {
      std::string note = r.shared[i] ? "  (shared)" : "";
      if (i < one.atBound.size() && one.atBound[i] != BoundSide::kInside)
        note += std::string("  (") + BoundHitText(one.atBound[i]) + ")";
      out += CFormat("  %-8s %16.10g  %s%s\n", one.names[i].c_str(), one.params[i], ErrorText(one, i).c_str(),
                     note.c_str());
    }
    if (!one.guessedStart.empty()) {
      out += "  from guessed start values";
      for (double v : one.guessedStart) out += CFormat(" %.6g", v);
      out += "\n";
    }
    out += CFormat("  chi-square part %.10g, %d %s\n", one.chiSquare, one.points, one.points == 1 ? "point" : "points");
  }
  if (!r.uncertaintyNote.empty()) out += CFormat("%s\n", r.uncertaintyNote.c_str());
  const std::string reduced = std::isnan(r.reducedChiSquare) ? std::string("no reduced (no degrees of freedom)")
                                                             : CFormat("reduced %.6g", r.reducedChiSquare);
  out += CFormat("joint: chi-square %.10g, %s, %d points, %d free parameters, %d iterations, %s\n", r.chiSquare,
                 reduced.c_str(), r.points, r.freeCount, r.iterations, r.converged ? "converged" : "not converged");
}

}  // namespace

int RunGlobalFitCommand(const FitCommandOptions& options, const FitRequest& request) {
  const char* unsupported = options.csv                   ? "--csv"
                            : !options.report.empty()     ? "--report"
                            : !options.confidence.empty() ? "--confidence"
                                                          : nullptr;
  if (unsupported != nullptr) {
    std::cerr << "zentrel-cli fit: " << unsupported << " does not go with --global\n";
    return 2;
  }
  GlobalFitRequest global;
  global.fit = request;
  if (!options.share.empty())
    if (std::string problem = ParseShareList(options.share, global.shared); !problem.empty()) {
      std::cerr << "zentrel-cli fit: " << problem << '\n';
      return 2;
    }
  if (std::string problem = ValidateGlobalFitRequest(global, options.files.size()); !problem.empty()) {
    std::cerr << "zentrel-cli fit: " << problem << '\n';
    return 2;
  }
  std::vector<Data_Set> sets(options.files.size());
  std::vector<const Data_Set*> pointers;
  std::vector<std::string> labels;
  for (size_t i = 0; i < options.files.size(); ++i) {
    const std::string& path = options.files[i];
    const ImportReport report = ImportDataFile(DataFormatOf(path), sets[i], path);
    if (!report.ok()) {
      std::cerr << path << ": " << ImportStatusText(report, std::filesystem::path(path).filename().string()) << '\n';
      return 1;
    }
    pointers.push_back(&sets[i]);
    labels.push_back(path);
  }
  const GlobalFitRunResult result = RunGlobalFit(pointers, labels, global);
  std::string out;
  if (options.json) {
    out = ToJson(result).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
  } else if (result.failed() && result.sets.empty()) {
    std::cerr << "zentrel-cli fit: " << result.error << '\n';
  } else if (result.failed()) {
    std::cerr << "zentrel-cli fit: the global fit failed after " << result.iterations << " iterations: " << result.error
              << '\n';
  } else {
    PrintTable(out, result);
  }
  if (!options.output.empty()) {
    if (std::string problem = WriteFileAtomically(options.output, out); !problem.empty()) {
      std::cerr << "zentrel-cli fit: --output " << options.output << ": " << problem << '\n';
      return 1;
    }
  } else {
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
  }
  return result.failed() ? 1 : 0;
}

}  // namespace zentrel
