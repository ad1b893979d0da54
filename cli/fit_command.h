#pragma once
// `zentrel-cli fit FILE… [options]`: fits every data file with the same
// model and start values, one file per worker thread.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/fit_report.h"

namespace CLI {
class App;
}

namespace zentrel {

struct FitCommandOptions {
  std::vector<std::string> files;
  std::string model;
  int order = 1;
  std::string equation;
  std::string params;     // "V,V,…"
  std::string hold;       // "I,J,…"
  std::string bounds;     // "I:LO:HI,…", LO or HI empty for none
  std::string range;      // "A:B"
  std::string weighting = "equal";
  std::string method = "lm";
  int maxIterations = 100000;  // 0: until converged
  bool json = false;
  bool csv = false;
  int threads = 0;  // 0: one per core
  bool noHeader = false;     // --csv without its header line
  std::string output;        // write here (atomically) instead of standard output
  std::string convolveWith;  // a response file every model is convolved with
  std::string shift;         // the response's shift along x, with convolveWith
  bool freeShift = false;    // the shift is fitted
  bool guess = false;        // start values guessed from each file's data (held ones kept)
  std::string confidence;    // profile intervals at this level: 0.683, 0.95
  std::string report;        // a fit report (.md or .json) of the one file, its plot beside it
  bool global = false;       // one joint fit of every file
  std::string share;         // with global: indices of the shared parameters, "I,J,…"
  // Draws the report's plot; unset in a build without drawing (the report
  // then says it has none).
  ImageWriter drawImage;
};

// Registers the subcommand; returns it so main can test whether it ran.
CLI::App* AddFitSubcommand(CLI::App& app, FitCommandOptions& options);
// Exit status: 0 when every file was fitted, 1 when any failed, 2 for bad options.
int RunFitCommand(const FitCommandOptions& options);

struct FitRunResult;
// Adds a result's "params", "errors" and, for a bounded fit only, "at_bound"
// to its JSON object.
void AddParameterJson(nlohmann::ordered_json& json, const FitRunResult& r);

}  // namespace zentrel
