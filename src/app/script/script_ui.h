#pragma once
// The Ui of the script runner: answers what a command asks from the
// arguments of the current script line. A question the line does not answer
// is an error (the command sees Cancel and the runner fails the line).

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/script/script_line.h"
#include "app/ui.h"

namespace zentrel {

class ScriptUi : public Ui {
 public:
  // Starts answering for a new line; clears the previous line's error.
  void beginLine(const ScriptLine& line);
  // The folder `${SCRIPT_DIR}` stands for in file answers.
  void setScriptDirectory(std::string directory) { scriptDirectory_ = std::move(directory); }
  // The first problem met while answering, empty when none.
  const std::string& error() const { return error_; }

  bool pickFromList(SetPickerModel& picker) override;
  bool runDialog(DialogModel& dialog) override;
  std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;
  void messageBox(const std::string& text) override;
  // A script has no window: nothing to redraw. The layout is that of the
  // last `render` line, which a saved graph file records.
  void redraw() override;
  std::optional<PageLayout> drawingLayout() const override { return lastRender_; }
  void setDrawingLayout(const PageLayout& layout) { lastRender_ = layout; }
  std::optional<std::string> openFileName(const FileDialogRequest& request) override;
  std::optional<std::vector<std::string>> openFileNames(const FileDialogRequest& request) override;
  std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
  std::optional<std::string> clipboardText() override { return clipboard_; }
  void setClipboardText(const std::string& text) override { clipboard_ = text; }
  // save-changes=yes|no|cancel; a line without it answers No (scripts save
  // explicitly). Yes on a document without a file asks for save-file=.
  std::optional<bool> askSaveChanges(const std::string& documentTitle) override;

  // Draws with the runner's render hook (the `render` line's); without one
  // the script cannot draw.
  std::string drawImage(const CZentrelDoc& doc, const std::string& path) override;
  void setImageDrawer(std::function<std::string(const CZentrelDoc&, const std::string&)> draw) {
    drawImage_ = std::move(draw);
  }

  // The script's own clipboard (set-clipboard, print-clipboard); it starts
  // without text and lasts for the whole run.
  std::optional<std::string>& clipboard() { return clipboard_; }

  // Messages the commands showed, in order (the runner prints them).
  std::vector<std::string> takeMessages();

 private:
  void fail(std::string message);
  bool cancelled();
  // The answer to a file dialog, `${SCRIPT_DIR}` expanded; nothing on
  // cancel or when the line lacks it (then an error is recorded).
  std::optional<std::string> fileAnswer(const char* key, const char* dialog);

  const ScriptLine* line_ = nullptr;
  int pickersAsked_ = 0;
  std::string error_;
  std::vector<std::string> messages_;
  std::string scriptDirectory_ = ".";
  std::optional<std::string> clipboard_;
  std::optional<PageLayout> lastRender_;
  std::function<std::string(const CZentrelDoc&, const std::string&)> drawImage_;
};

// Parses a colour answer: "#RRGGBB", "R,G,B" (0..255 each) or a number in the
// program's 0x00BBGGRR form. Returns nullopt for anything else.
std::optional<std::uint32_t> ParseColour(std::string_view text);

}  // namespace zentrel
