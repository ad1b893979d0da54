#pragma once
// `zentrel-cli info GRAPH.ztl [--json]`: what a graph file holds, as a short
// summary or as the document JSON that `dump` writes.

#include <iosfwd>
#include <optional>
#include <string>

#include "io/graph_file.h"

namespace CLI {
class App;
}

namespace zentrel {

struct InfoOptions {
  std::string file;
  bool json = false;
};

// Registers the subcommand; returns it so main can test whether it ran.
CLI::App* AddInfoSubcommand(CLI::App& app, InfoOptions& options);
// Exit status: 0 when the file was read, 1 when it could not be.
int RunInfoCommand(const InfoOptions& options);
int RunInfoCommand(const InfoOptions& options, std::ostream& out, std::ostream& err);

class CZentrelDoc;
// Reads a graph file into the document, telling `err` what went wrong;
// nullopt when it could not be read. Shared by info and render.
std::optional<GraphLoadResult> LoadGraphFileReporting(const std::string& path, CZentrelDoc& doc, std::ostream& err);

}  // namespace zentrel
