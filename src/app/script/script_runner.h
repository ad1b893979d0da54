#pragma once
// Runs command scripts against a document: one command per line, named by
// its script name or id, answers as key=value arguments, plus the
// script-only lines (status, select, cursor, dump, new-set, set-clipboard,
// print-clipboard, render, style, and `undo N`/`redo N`).

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "app/script/script_ui.h"
#include "model/graph.h"

namespace zentrel {

class CZentrelDoc;

// What drawing into an image file did: an error message (empty on success)
// and the page and plot rectangles drawn.
struct RenderResult {
  std::string error;
  PageLayout layout;
  std::string note;  // for the status text; empty when the drawing has none
};
// Draws the document into an image file (PNG, SVG or PDF by extension).
// The core cannot draw with a real painter, so the front end that can
// supplies this.
using RenderFunction = std::function<RenderResult(const CZentrelDoc& doc, const std::string& path)>;

struct ScriptRunOptions {
  bool echo = false;  // print each line before running it, and any new status text
  RenderFunction render;  // for `render FILE`; unset: the line is an error
};

class ScriptRunner {
 public:
  ScriptRunner(CZentrelDoc& doc, std::ostream& out, std::string scriptName, ScriptRunOptions options = {});

  // Runs every line; stops at the first failing one. False on failure, with
  // error() holding "SCRIPT:LINE: problem".
  bool run(std::istream& in);
  bool runLine(std::string_view text, int lineNumber);
  const std::string& error() const { return error_; }

 private:
  bool fail(int lineNumber, const std::string& problem);
  // Each returns an error message, empty on success.
  std::string runScriptOnly(const ScriptLine& line, bool& handled);
  std::string runCommand(const ScriptLine& line);
  std::string newSet(const ScriptLine& line);
  std::string dump(const ScriptLine& line);
  std::string render(const ScriptLine& line);
  std::string style(const ScriptLine& line);
  // `undo N`, `redo N`: the command N times, stopping where the history ends.
  std::string repeatUndoRedo(const ScriptLine& line, const std::vector<std::string>& count);

  CZentrelDoc& doc_;
  std::ostream& out_;
  std::string scriptName_;
  ScriptRunOptions options_;
  ScriptUi ui_;
  std::string error_;
};

}  // namespace zentrel
