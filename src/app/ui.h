#pragma once
// The one interface between commands and the platform: everything a command
// would ask a person goes through here. QtUi shows real dialogs, ScriptUi
// answers from a script line, tests use fakes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/graph.h"
#include "util/progress.h"

namespace zentrel {

class CZentrelDoc;
class DialogModel;
class FitDialogModel;
class GlobalFitDialogModel;
class SetPickerModel;

// What a file dialog shows. Filters use Qt's syntax
// ("ASCII Text Files (*.txt);;All Files (*)"); the default extension has no
// dot and is added to a typed name that has none.
struct FileDialogRequest {
  std::string title;  // empty: the platform's own ("Open", "Save As")
  std::string filter;
  std::string defaultExtension;
  std::string initialName;
  bool overwritePrompt = false;  // save dialogs: ask before replacing a file
  bool hideReadOnly = true;      // no "open as read-only" check box
  // Save dialogs: the one "Save changes?" leads to before the document is
  // replaced, not the command's own file question (scripts answer the two
  // with different keys).
  bool savesChanges = false;
};

// The answers to the start-up question about a recovery copy.
enum class RecoveryChoice { Restore, Discard, Later };

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows a list picker; true when the user pressed OK with a line selected
  // (the model's `selected` then holds the line).
  virtual bool pickFromList(SetPickerModel& picker) = 0;
  // Runs a modal dialog bound to the model; true on OK.
  virtual bool runDialog(DialogModel& dialog) = 0;
  // The platform colour chooser, starting at `initial` (0x00BBGGRR).
  virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initial) = 0;
  virtual void messageBox(const std::string& text) = 0;
  // Asks the view to redraw the whole graph. Drawing leaves the document
  // as it is; Dispatch settles it afterwards (app/settling_ui.h).
  virtual void redraw() = 0;
  // The page and plot rectangles of the last drawing shown, which a saved
  // graph file records; nothing before the first one.
  virtual std::optional<PageLayout> drawingLayout() const { return std::nullopt; }

  // File dialogs: the chosen path(s), nothing on Cancel.
  virtual std::optional<std::string> openFileName(const FileDialogRequest& request) = 0;
  // Several files at once, in the order the dialog returns them.
  virtual std::optional<std::vector<std::string>> openFileNames(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> saveFileName(const FileDialogRequest& request) = 0;

  // The clipboard's plain text; nothing when it holds no text.
  virtual std::optional<std::string> clipboardText() = 0;
  // Replaces the clipboard's contents with plain text.
  virtual void setClipboardText(const std::string& text) = 0;

  // "Save changes to %1?" before a modified document is replaced: true Yes,
  // false No, nothing Cancel.
  virtual std::optional<bool> askSaveChanges(const std::string& documentTitle) = 0;

  // "Zentrel did not close normally. Restore ...?" (app/recovery/): what
  // becomes of a copy left by a window that ended. A Ui that cannot ask
  // keeps it for the next start.
  virtual RecoveryChoice askRestoreRecovery(const std::string& question) {
    (void)question;
    return RecoveryChoice::Later;
  }

  // A long operation starts: the callback it returns takes the fraction done
  // and answers false once the person cancelled. Empty: nobody watches.
  // endProgress() follows every beginProgress(); use ProgressScope.
  virtual ProgressCallback beginProgress(const std::string& /*label*/) { return {}; }
  virtual void endProgress() {}

  // Draws a document (in its own drawing preferences) into an image file,
  // PNG, SVG or PDF by the extension; an error message, empty on success.
  // A Ui of a program that cannot draw says so.
  virtual std::string drawImage(const CZentrelDoc& doc, const std::string& path) {
    (void)doc;
    (void)path;
    return "this program was built without drawing";
  }

  // Shows (and raises) the modeless fitting dialog bound to `dialog`; the
  // window is made on the first call and kept. A Ui without windows has
  // nothing to show: the model alone is the dialog.
  virtual void showFitDialog(FitDialogModel& dialog) { (void)dialog; }
  // The same for the modeless Global Fit dialog.
  virtual void showGlobalFitDialog(GlobalFitDialogModel& dialog) { (void)dialog; }
};

// Shows progress for the life of one long operation.
class ProgressScope {
 public:
  ProgressScope(Ui& ui, const std::string& label) : ui_(ui), callback_(ui.beginProgress(label)) {}
  ~ProgressScope() { ui_.endProgress(); }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;
  const ProgressCallback& callback() const { return callback_; }

 private:
  Ui& ui_;
  ProgressCallback callback_;
};

}  // namespace zentrel
