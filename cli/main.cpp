// zentrel-cli: the headless front end. Runs command scripts, draws graphs
// into image files and lists the command table. Exit status: 0 success,
// 1 a command failed, 2 bad usage.

#include <CLI/CLI.hpp>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>
#include <iostream>
#include <string>

#include "app/commands/command_table.h"
#include "app/script/script_runner.h"
#include "commands_listing.h"
#include "fit_command.h"
#include "info_command.h"
#include "model/document.h"
#include "io/graph_file.h"
#include "model/autoscale.h"

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

#ifdef ZENTREL_HAVE_RENDER
bool IsGraphFile(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".ztl";
}

// Reads a graph file to draw; one without a graph block is autoscaled, as
// Open does.
int LoadGraphFile(zentrel::CZentrelDoc& doc, const std::string& path) {
  const auto result = zentrel::LoadGraphFileReporting(path, doc, std::cerr);
  if (!result) return 1;
  if (!result->hasGraphBlock) zentrel::Autoscale(doc);
  return 0;
}
#endif

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
  zentrel::InfoOptions infoOptions;
  auto* info = zentrel::AddInfoSubcommand(app, infoOptions);

#ifdef ZENTREL_HAVE_RENDER
  std::string renderInput, renderOutput;
  zentrel::cli::RenderSize renderSize;
  std::string styleName = "classic";
  auto* render = app.add_subcommand("render", "Draw a graph file, or the graph a script leaves, into a PNG, SVG or PDF file");
  render->add_option("INPUT", renderInput, "Graph file (.ztl), or a script file (- for standard input)")->required();
  render->add_option("OUT", renderOutput, "Output file: .png, .svg or .pdf")->required();
  const auto sizeRange = CLI::Range(1, zentrel::kMaxExportSide);
  render
      ->add_option("--width", renderSize.width,
                   "Image width in pixels: classic 100 per inch (default 1100); paper: pixels for the same page")
      ->check(sizeRange);
  render
      ->add_option("--height", renderSize.height,
                   "Image height in pixels: classic 100 per inch (default 850); paper: pixels for the same page")
      ->check(sizeRange);
  render->add_option("--dpi", renderSize.dpi, "PNG pixels per inch (default 100)")->check(CLI::Range(1.0, 10000.0));
  render->add_option("--page-width", renderSize.pageWidth, "Page width in inches")->check(CLI::Range(0.1, 1000.0));
  render->add_option("--page-height", renderSize.pageHeight, "Page height in inches")->check(CLI::Range(0.1, 1000.0));
  render->add_option("--style", styleName, "Drawing style: classic or paper")
      ->check(CLI::IsMember({"classic", "paper"}, CLI::ignore_case))
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
  options.render = zentrel::cli::MakeRenderFunction({});
  if (*render) {
    if (const std::string problem = zentrel::cli::CheckRenderOutput(renderOutput); !problem.empty()) {
      std::cerr << problem << '\n';
      return 2;
    }
    // `render` lines inside the script draw at the same size; a `style`
    // line in it changes the style of what follows, the final drawing too.
    options.render = zentrel::cli::MakeRenderFunction(renderSize);
    zentrel::CZentrelDoc doc;
    zentrel::ParseDrawStyle(styleName.c_str(), doc.drawPreferences.style);
    const int status = IsGraphFile(renderInput) ? LoadGraphFile(doc, renderInput) : RunScript(doc, renderInput, options);
    if (status != 0) return status;
    return zentrel::cli::RenderDocument(doc, renderOutput, renderSize);
  }
#endif
  if (*run) {
    options.echo = echo;
    zentrel::CZentrelDoc doc;
    return RunScript(doc, scriptPath, options);
  }
  if (*commands) return ListCommands(json);
  if (*fit) {
#ifdef ZENTREL_HAVE_RENDER
    fitOptions.drawImage = [draw = zentrel::cli::MakeRenderFunction({})](const zentrel::CZentrelDoc& doc,
                                                                        const std::string& path) {
      return draw(doc, path).error;
    };
#endif
    return zentrel::RunFitCommand(fitOptions);
  }
  if (*info) return zentrel::RunInfoCommand(infoOptions);
  return 2;
}
