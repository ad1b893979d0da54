#pragma once
// Graph file commands: New, Open, Save, Save As and Import Graph, and the
// pieces a front end calls itself (a file named on the command line or in
// the recent-file list, the save question before quitting).

#include <span>
#include <string>

#include "app/ui.h"

#include "app/commands/command_outcome.h"

namespace zentrel {

class CZentrelDoc;

CommandOutcome OnNew(CZentrelDoc& doc, Ui& ui);          // Ctrl+N
CommandOutcome OnOpen(CZentrelDoc& doc, Ui& ui);         // Ctrl+O
CommandOutcome OnSave(CZentrelDoc& doc, Ui& ui);         // Ctrl+S
CommandOutcome OnSaveAs(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnImportGraph(CZentrelDoc& doc, Ui& ui);  // Ctrl+I

// What the file dialogs show.
FileDialogRequest GraphOpenRequest();
FileDialogRequest GraphSaveRequest(const CZentrelDoc& doc);
FileDialogRequest ImportGraphRequest();

// What became of a file step: done, given up by the person (nothing to
// say), or failed, its message already shown.
struct FileStep {
  bool done = false;
  std::string failure;  // the message shown; empty unless it failed

  static FileStep Done() { return {true, {}}; }
  // Shows `message` and returns the failure carrying it.
  static FileStep Failure(Ui& ui, std::string message);
};

// Asks "Save changes to %1?" when the document is modified; Yes saves it
// (through Save As when it has no file yet). True when the document may be
// replaced or the program may quit.
bool SaveModified(CZentrelDoc& doc, Ui& ui);
// Open without the file dialog (recent files, the command line): asks to
// save first, then replaces the document by the file's content. A file
// that cannot be read leaves the document exactly as it was. True on
// success; failures have been shown.
bool OpenDocumentFile(CZentrelDoc& doc, Ui& ui, const std::string& path);
// Replaces the document's graph by one read whole into `loaded`: its sets,
// graph settings and selection; the zooms of the graph shown before are
// dropped. The path and the modified flag are the caller's to set.
void TakeOverLoadedGraph(CZentrelDoc& doc, CZentrelDoc& loaded);
// Writes the document to `path`. On success the file becomes the
// document's, the sets are stored (bare names, flags clear) and the
// document is unmodified; on failure nothing changes and an existing file
// keeps its old content.
bool SaveDocumentTo(CZentrelDoc& doc, Ui& ui, const std::string& path);
// The same, saying how it went.
FileStep SaveDocument(CZentrelDoc& doc, Ui& ui, const std::string& path);

}  // namespace zentrel
