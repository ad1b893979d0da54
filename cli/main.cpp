// zentrel-cli: the headless front end. Runs command scripts, draws graphs
// into image files and lists the command table. Exit status: 0 success,
// 1 a command failed, 2 bad usage.

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <string>

#include "app/commands/command_table.h"
#include "app/script/script_runner.h"
#include "commands_listing.h"
#include "fit_command.h"
#include "model/document.h"

#ifdef ZENTREL_HAVE_RENDER
#include "graph_export.h"
#include "render.h"
#endif

namespace {

int RunScript(zentrel::CZentrelDoc& doc, const std::string& path, const zentrel::ScriptRunOptions& options) {
  zentrel::ScriptRunner runner(doc, std::cout, path == "-" ? "<stdin>" : path, options);
  bool ok = false;
  if (path == "-") {
    ok = runner.run(std::cin);
  } else {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::cerr << path << ": cannot open script\n";
      return 1;
    }
    ok = runner.run(in);
  }
  std::cout.flush();
  if (!ok) {
    std::cerr << runner.error() << '\n';
    return 1;
  }
  return 0;
}

int ListCommands(bool json) {
  if (json) {
    std::cout << zentrel::CommandsToJson().dump(2) << '\n';
    return 0;
  }
  for (const auto& command : zentrel::AllCommands()) {
    const std::string name = zentrel::ScriptName(command);
    std::cout << command.id << '\t' << (name.empty() ? "-" : name) << '\t'
              << (command.handler ? "available" : "not available") << '\n';
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"zentrel-cli: the headless front end of Zentrel"};
  app.require_subcommand(1);

  std::string scriptPath;
  bool echo = false;
  auto* run = app.add_subcommand("run", "Run a command script against a new document");
  run->add_option("SCRIPT", scriptPath, "Script file, or - for standard input")->required();
  run->add_flag("--echo", echo, "Print each line and the status text it leaves");

  bool json = false;
  auto* commands = app.add_subcommand("commands", "List every command with its id and availability");
  commands->add_flag("--json", json, "Print as JSON");

  zentrel::FitCommandOptions fitOptions;
  auto* fit = zentrel::AddFitSubcommand(app, fitOptions);

#ifdef ZENTREL_HAVE_RENDER
  std::string renderInput, renderOutput;
  int width = zentrel::kDefaultExportWidth;
  int height = zentrel::kDefaultExportHeight;
  auto* render = app.add_subcommand("render", "Run a command script and draw the graph into a PNG, SVG or PDF file");
  render->add_option("SCRIPT", renderInput, "Script file, or - for standard input")->required();
  render->add_option("OUT", renderOutput, "Output file: .png, .svg or .pdf")->required();
  const auto sizeRange = CLI::Range(1, zentrel::kMaxExportSide);
  render->add_option("--width", width, "Image width in pixels, 100 per inch")->check(sizeRange)->capture_default_str();
  render->add_option("--height", height, "Image height in pixels, 100 per inch")
      ->check(sizeRange)
      ->capture_default_str();
#endif

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }

  zentrel::ScriptRunOptions options;
#ifdef ZENTREL_HAVE_RENDER
  options.render = zentrel::cli::MakeRenderFunction(zentrel::kDefaultExportWidth, zentrel::kDefaultExportHeight);
  if (*render) {
    if (const std::string problem = zentrel::cli::CheckRenderFiles(renderInput, renderOutput); !problem.empty()) {
      std::cerr << problem << '\n';
      return 2;
    }
    // `render` lines inside the script draw at the same size.
    options.render = zentrel::cli::MakeRenderFunction(width, height);
    zentrel::CZentrelDoc doc;
    if (const int status = RunScript(doc, renderInput, options); status != 0) return status;
    return zentrel::cli::RenderDocument(doc, renderOutput, width, height);
  }
#endif
  if (*run) {
    options.echo = echo;
    zentrel::CZentrelDoc doc;
    return RunScript(doc, scriptPath, options);
  }
  if (*commands) return ListCommands(json);
  if (*fit) return zentrel::RunFitCommand(fitOptions);
  return 2;
}
