#include "info_command.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <iostream>
#include <optional>
#include <vector>

#include "app/document_json.h"
#include "model/document.h"
#include "model/fit.h"
#include "fit/response_shift.h"
#include "fit/model_table.h"
#include "io/graph_file.h"

namespace zentrel {

namespace {

void PrintSummary(const CZentrelDoc& doc, const GraphLoadResult& result, std::ostream& out) {
  out << doc.Title() << ": " << doc.SetCount() << (doc.SetCount() == 1 ? " set" : " sets") << '\n';
  for (int s = 0; s < doc.SetCount(); ++s) {
    const Data_Set& set = *doc.sets[static_cast<size_t>(s)];
    out << "  " << s << ' ' << set.name << ": " << set.PointCount(0) << " points, " << set.ColumnCount()
        << (set.ColumnCount() == 1 ? " column" : " columns");
    if (!set.active) out << ", inactive";
    out << '\n';
    for (const auto& fit : set.fits) {
      out << "    fit " << fit->name << ": " << ModelName(fit->modelKind);
      if (fit->modelKind == kCustomFunction) out << " " << fit->customEquation;
      else out << " order " << fit->order;
      if (fit->convolve) out << ", convolved with set " << doc.IndexOf(fit->convolutionSource);
      if (ShiftInUse(*fit)) out << ", response shift " << fit->shift << (fit->shiftFree ? " (free)" : " (held)");
      if (fit->hidden) out << ", hidden";
      out << '\n';
    }
  }
  const Graph& g = doc.graph;
  out << "  graph: x " << g.xMin << " .. " << g.xMax << ", y " << g.yMin << " .. " << g.yMax;
  if (g.logX) out << ", log x";
  if (g.logY) out << ", log y";
  if (g.polar) out << ", polar";
  if (!g.title.empty()) out << ", title \"" << g.title << '"';
  out << '\n';
  if (!result.hasGraphBlock) out << "  (the file ends after its sets: default graph, autoscaled)\n";
}

}  // namespace

CLI::App* AddInfoSubcommand(CLI::App& app, InfoOptions& options) {
  auto* info = app.add_subcommand("info", "Describe a graph file (.ztl)");
  info->add_option("GRAPH", options.file, "Graph file")->required();
  info->add_flag("--json", options.json, "Print the document as JSON, as the script line dump does");
  return info;
}

int RunInfoCommand(const InfoOptions& options) { return RunInfoCommand(options, std::cout, std::cerr); }

std::optional<GraphLoadResult> LoadGraphFileReporting(const std::string& path, CZentrelDoc& doc, std::ostream& err) {
  std::vector<std::uint8_t> bytes;
  const FileReadResult read = ReadWholeFile(path, bytes);
  switch (read.status) {
    case FileReadStatus::NotFound: err << CannotFindFileMessage(path) << '\n'; return std::nullopt;
    case FileReadStatus::Failed:
    case FileReadStatus::Cancelled:
      err << path << ": " << kFailedToOpenDocument;
      if (!read.reason.empty()) err << " (" << read.reason << ")";
      err << '\n';
      return std::nullopt;
    case FileReadStatus::Ok: break;
  }
  GraphLoadResult result = LoadGraph(bytes, doc);
  if (!result.ok) {
    err << path << ": " << kUnexpectedFileFormat << " (byte " << result.offset << ": " << result.problem << ")\n";
    return std::nullopt;
  }
  doc.pathName = path;
  return result;
}

int RunInfoCommand(const InfoOptions& options, std::ostream& out, std::ostream& err) {
  CZentrelDoc doc;
  const std::optional<GraphLoadResult> loaded = LoadGraphFileReporting(options.file, doc, err);
  if (!loaded) return 1;
  const GraphLoadResult& result = *loaded;
  for (const auto& message : result.messages) err << options.file << ": " << message << '\n';
  if (options.json) {
    out << DocumentToJson(doc).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  } else {
    PrintSummary(doc, result, out);
  }
  return 0;
}

}  // namespace zentrel
