// zentrel-cli: the headless front end. Runs command scripts and lists the
// command table. Exit status: 0 success, 1 a command failed, 2 bad usage.

#include <fstream>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "app/commands/command_table.h"
#include "app/script/script_runner.h"
#include "commands_listing.h"
#include "model/document.h"

namespace {

int RunScript(const std::string& path, bool echo) {
  zentrel::CZentrelDoc doc;
  zentrel::ScriptRunOptions options;
  options.echo = echo;
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

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }
  if (*run) return RunScript(scriptPath, echo);
  if (*commands) return ListCommands(json);
  return 2;
}
