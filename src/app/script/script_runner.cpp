#include "app/script/script_runner.h"

#include <filesystem>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "app/commands/command_table.h"
#include "app/commands/dispatch.h"
#include "app/document_json.h"
#include "app/settling_ui.h"
#include "app/script/fit_script.h"
#include "app/script/global_fit_script.h"
#include "app/script/script_values.h"
#include "model/document.h"
#include "util/atomic_file.h"

namespace zentrel {

namespace {

// Picker answers may go unused when a command picks the only set by itself.
// So may the answers to "Save changes?", asked only of a modified document
// (and its file, only of one that has none yet).
bool IsOptionalAnswer(const std::string& key) {
  return key == "set" || key == "set2" || key == "set3" || key == "fit" || key == "save-changes" ||
         key == "save-file";
}

// A message of several lines as one line of a script error.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

std::string Join(const std::vector<std::string>& words) {
  std::string text;
  for (const auto& word : words) text += (text.empty() ? "" : ", ") + word;
  return text;
}

// A script may come from a pipe (standard input, process substitution), so
// it is read as a stream; the bound keeps an endless line (a device given as
// the script) from taking the memory.
constexpr std::size_t kMaxScriptLine = std::size_t{64} << 20;

enum class LineRead { Line, End, TooLong, Failed };

LineRead ReadScriptLine(std::istream& in, std::string& text) {
  text.clear();
  // istream::get turns a failing read (a folder given as the script) into
  // badbit rather than an exception.
  for (char c; in.get(c);) {
    if (c == '\n') return LineRead::Line;
    if (text.size() == kMaxScriptLine) return LineRead::TooLong;
    text.push_back(c);
  }
  if (in.bad()) return LineRead::Failed;
  return text.empty() ? LineRead::End : LineRead::Line;
}

}  // namespace

ScriptRunner::ScriptRunner(CZentrelDoc& doc, std::ostream& out, std::string scriptName, ScriptRunOptions options)
    : doc_(doc), out_(out), scriptName_(std::move(scriptName)), options_(options) {
  // File answers may name files beside the script as ${SCRIPT_DIR}/NAME.
  const std::string folder = std::filesystem::path(scriptName_).parent_path().string();
  ui_.setScriptDirectory(folder.empty() || scriptName_ == "<stdin>" ? "." : folder);
  // Commands that write pictures (a fit report's) draw as `render` does.
  if (options_.render)
    ui_.setImageDrawer([render = options_.render](const CZentrelDoc& picture, const std::string& path) {
      return render(picture, path).error;
    });
}

bool ScriptRunner::fail(int lineNumber, const std::string& problem) {
  error_ = scriptName_ + ":" + std::to_string(lineNumber) + ": " + problem;
  return false;
}

bool ScriptRunner::run(std::istream& in) {
  std::string text;
  int lineNumber = 0;
  while (true) {
    const LineRead read = ReadScriptLine(in, text);
    if (read == LineRead::End) return true;
    ++lineNumber;
    if (read == LineRead::Failed) return fail(lineNumber, "the script cannot be read");
    if (read == LineRead::TooLong)
      return fail(lineNumber, "line longer than " + std::to_string(kMaxScriptLine >> 20) + " MiB");
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (!runLine(text, lineNumber)) return false;
  }
}

bool ScriptRunner::runLine(std::string_view text, int lineNumber) {
  ScriptLine line;
  if (auto problem = ParseScriptLine(text, line)) return fail(lineNumber, *problem);
  if (line.command.empty()) return true;
  if (options_.echo) out_ << "> " << text << '\n';

  const std::string statusBefore = doc_.statusText;
  bool handled = false;
  std::string problem = runScriptOnly(line, handled);
  if (!handled) problem = runCommand(line);
  if (!problem.empty()) return fail(lineNumber, problem);

  std::vector<std::string> unused;
  for (const auto& key : line.unusedKeys())
    if (!IsOptionalAnswer(key)) unused.push_back(key);
  if (!unused.empty()) return fail(lineNumber, "unknown argument " + Join(unused) + " for " + line.command);
  if (options_.echo && doc_.statusText != statusBefore) out_ << "  status: " << doc_.statusText << '\n';
  return true;
}

std::string ScriptRunner::runCommand(const ScriptLine& line) {
  const CommandInfo* command = FindCommandByScriptName(line.command);
  if (command == nullptr) return "unknown command '" + line.command + "'";
  ui_.beginLine(line);
  std::string failure;
  const DispatchResult result = Dispatch(doc_, ui_, command->id, &failure);
  std::vector<std::string> messages = ui_.takeMessages();
  // The message saying why a command failed becomes the line's error.
  if (result == DispatchResult::Failed && !messages.empty() && messages.back() == failure) messages.pop_back();
  for (const auto& message : messages) out_ << "message: " << message << '\n';
  if (!ui_.error().empty()) return ui_.error();
  switch (result) {
    case DispatchResult::UnknownCommand: return "unknown command '" + line.command + "'";
    case DispatchResult::NotImplemented:
      return "command '" + line.command + "' (" + std::to_string(command->id) + ") is not available";
    case DispatchResult::Disabled:  // like a greyed-out menu item: nothing happens
    case DispatchResult::Done: break;
    case DispatchResult::Failed: return OneLine(failure);
  }
  return {};
}

std::string ScriptRunner::runScriptOnly(const ScriptLine& line, bool& handled) {
  handled = true;
  const std::string& name = line.command;
  if (name == "status") {
    out_ << doc_.statusText << '\n';
    return {};
  }
  if (name == "select" || name == "cursor") {
    const auto words = line.positional();
    const size_t wanted = name == "select" ? 4 : 2;
    std::vector<double> values;
    for (const auto& word : words) {
      auto value = ParseDouble(word);
      if (!value) return name + ": '" + word + "' is not a number";
      values.push_back(*value);
    }
    if (values.size() != wanted)
      return name + " needs " + std::to_string(wanted) + " numbers, got " + std::to_string(values.size());
    if (name == "select") {
      doc_.selectionX1 = values[0];
      doc_.selectionY1 = values[1];
      doc_.selectionX2 = values[2];
      doc_.selectionY2 = values[3];
    } else {
      doc_.cursorX = values[0];
      doc_.cursorY = values[1];
    }
    return {};
  }
  if (name == "dump") return dump(line);
  if (name == "set-clipboard") {
    // Without text= the clipboard holds no text at all.
    ui_.clipboard() = line.take("text");
    return {};
  }
  if (name == "print-clipboard") {
    if (const auto& text = ui_.clipboard()) out_ << *text << '\n';
    return {};
  }
  if (name == "render") return render(line);
  if (name == "style") return style(line);
  if (name == "new-set") return newSet(line);
  if (name == "fit-dialog") return RunFitDialogLine(doc_, ui_, line, out_);
  if (name == "iterate") return RunIterateLine(doc_, ui_, line, out_);
  if (name == "global-fit") return RunGlobalFitLine(doc_, ui_, line, out_);
  if (name == "undo" || name == "redo") {
    // Without a count they are the plain commands.
    if (const auto count = line.positional(); !count.empty()) return repeatUndoRedo(line, count);
  }
  handled = false;
  return {};
}

std::string ScriptRunner::dump(const ScriptLine& line) {
  const auto words = line.positional();
  if (words.size() != 1) return "dump needs one file name ('-' for standard output)";
  const std::string text =
      DocumentToJson(doc_).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
  if (words[0] == "-") {
    out_ << text;
    return {};
  }
  return WriteFileAtomically(words[0], text);
}

std::string ScriptRunner::render(const ScriptLine& line) {
  const auto words = line.positional();
  if (words.size() != 1) return "render needs one file name (.png, .svg or .pdf)";
  if (!options_.render) return "render is not available in this program";
  const RenderResult result = options_.render(doc_, words[0]);
  if (!result.error.empty()) return result.error;
  // The drawing is the script's window: a later save records its layout,
  // and it settles the document as a window's redraw does.
  ui_.setDrawingLayout(result.layout);
  doc_.SettleAfterRedraw();
  if (!result.note.empty()) doc_.statusText = result.note;
  return {};
}

std::string ScriptRunner::style(const ScriptLine& line) {
  const auto words = line.positional();
  DrawStyle chosen = DrawStyle::Classic;
  if (words.size() != 1 || !ParseDrawStyle(words[0].c_str(), chosen)) return "style needs 'classic' or 'paper'";
  doc_.drawPreferences.style = chosen;
  return {};
}

std::string ScriptRunner::repeatUndoRedo(const ScriptLine& line, const std::vector<std::string>& count) {
  const auto times = count.size() == 1 ? ParseInteger(count[0]) : std::nullopt;
  if (!times || *times < 0) return line.command + " needs a number of steps (0 or more)";
  const CommandInfo& command = *FindCommandByScriptName(line.command);
  // Past either end of the history the command is disabled: further steps
  // would do nothing, as a greyed-out menu item does.
  for (long long step = 0; step < *times && IsCommandEnabled(doc_, command); ++step) {
    if (std::string problem = runCommand(line); !problem.empty()) return problem;
  }
  return {};
}

std::string ScriptRunner::newSet(const ScriptLine& line) {
  static const char* const kColumns[] = {"x", "y", "yerr", "xerr"};
  std::vector<double> columns[4];
  for (int c = 0; c < 4; ++c) {
    auto text = line.take(kColumns[c]);
    if (!text) continue;
    auto values = ParseNumberList(*text);
    if (!values) return std::string("new-set: ") + kColumns[c] + "=" + *text + " is not a list of numbers";
    columns[c] = std::move(*values);
  }
  if (columns[0].empty() || columns[1].empty()) return "new-set needs x=... and y=...";
  const size_t n = columns[0].size();
  for (int c = 1; c < 4; ++c) {
    if (!columns[c].empty() && columns[c].size() != n)
      return std::string("new-set: ") + kColumns[c] + " has " + std::to_string(columns[c].size()) +
             " values, x has " + std::to_string(n);
  }
  // Without y errors an x error column still needs column 2: no bars there.
  if (!columns[3].empty() && columns[2].empty()) columns[2].assign(n, 0.0);
  auto set = std::make_unique<Data_Set>();
  if (auto name = line.take("name")) set->name = *name;
  for (int c = 0; c < 4; ++c)
    for (size_t i = 0; i < columns[c].size(); ++i) set->SetValue(c, static_cast<int>(i), columns[c][i]);
  doc_.AppendSet(std::move(set));
  RedrawAndSettle(doc_, ui_);
  return {};
}

}  // namespace zentrel
