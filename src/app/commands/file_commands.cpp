// Graph file commands: New, Open, Save, Save As, Import Graph.

#include "app/commands/file_commands.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "app/commands/bindings.h"
#include "app/ui.h"
#include "io/file_names.h"
#include "model/document.h"
#include "io/graph_file.h"
#include "util/atomic_file.h"

namespace zentrel {

namespace {

// The document type's filter and extension, as Open and Save As show them.
constexpr const char* kDocumentFilter = "Zentrel Files(*.ZTL);;All Files (*.*)";
constexpr const char* kDocumentExtension = "ZTL";

// Reads a graph file into `into`, showing what went wrong. Not done when
// the file could not be read at all; `result` tells how far reading got.
FileStep ReadGraphFile(const std::string& path, CZentrelDoc& into, Ui& ui, GraphLoadResult& result) {
  std::vector<std::uint8_t> bytes;
  FileReadResult read;
  {
    ProgressScope progress(ui, "Reading " + BareFileName(path) + "...");
    read = ReadWholeFile(path, bytes, progress.callback());
  }
  switch (read.status) {
    case FileReadStatus::NotFound: return FileStep::Failure(ui, CannotFindFileMessage(path));
    case FileReadStatus::Failed: return FileStep::Failure(ui, FailedToOpenMessage(path, read.reason));
    case FileReadStatus::Cancelled: return {};  // the person stopped it: nothing to say
    case FileReadStatus::Ok: break;
  }
  result = LoadGraph(bytes, into);
  return FileStep::Done();
}

// Save As; `beforeReplacing` when "Save changes?" asks for it, so a script
// answers it apart from the command's own file question.
FileStep DoSaveAs(CZentrelDoc& doc, Ui& ui, bool beforeReplacing = false) {
  FileDialogRequest request = GraphSaveRequest(doc);
  request.savesChanges = beforeReplacing;
  const auto path = ui.saveFileName(request);
  if (!path) return {};
  return SaveDocument(doc, ui, *path);
}

FileStep DoSave(CZentrelDoc& doc, Ui& ui, bool beforeReplacing = false) {
  if (doc.pathName.empty()) return DoSaveAs(doc, ui, beforeReplacing);
  return SaveDocument(doc, ui, doc.pathName);
}

// Asks "Save changes?" of a modified document. Done when it may be replaced.
FileStep AskToSaveChanges(CZentrelDoc& doc, Ui& ui) {
  if (!doc.IsModified()) return FileStep::Done();
  const std::optional<bool> answer = ui.askSaveChanges(doc.Title());
  if (!answer) return {};
  if (!*answer) return FileStep::Done();
  return DoSave(doc, ui, true);
}

FileStep OpenDocument(CZentrelDoc& doc, Ui& ui, const std::string& path) {
  if (FileStep saved = AskToSaveChanges(doc, ui); !saved.done) return saved;
  // Read into a document of its own and take it over only when the whole
  // file was good: a bad file never leaves a half-loaded graph.
  CZentrelDoc loaded;
  loaded.graph = doc.graph;  // the reset keeps the fit display switches, as New does
  GraphLoadResult result;
  if (FileStep read = ReadGraphFile(path, loaded, ui, result); !read.done) return read;
  if (!result.ok) return FileStep::Failure(ui, std::string(kUnexpectedFileFormat));
  for (const auto& message : result.messages) ui.messageBox(message);
  TakeOverLoadedGraph(doc, loaded);
  doc.pathName = path;
  doc.SetModifiedFlag(false);
  ui.redraw();
  return FileStep::Done();
}

// A failed step fails the command; done and cancelled leave nothing to add.
CommandOutcome OutcomeOf(const FileStep& step) {
  if (!step.failure.empty()) return Outcome::Failed(step.failure);
  return {};
}

}  // namespace

void TakeOverLoadedGraph(CZentrelDoc& doc, CZentrelDoc& loaded) {
  doc.ResetDocument();
  doc.sets = std::move(loaded.sets);
  doc.graph = loaded.graph;
  // The zooms of the graph shown before are no way back into this one.
  doc.graph.zoomHistory.clear();
  doc.useAbbreviations = loaded.useAbbreviations;
  doc.selectionX1 = loaded.selectionX1;
  doc.selectionX2 = loaded.selectionX2;
  doc.selectionY1 = loaded.selectionY1;
  doc.selectionY2 = loaded.selectionY2;
}

FileDialogRequest GraphOpenRequest() {
  FileDialogRequest request;
  request.filter = kDocumentFilter;
  request.defaultExtension = kDocumentExtension;
  return request;
}

FileDialogRequest GraphSaveRequest(const CZentrelDoc& doc) {
  FileDialogRequest request;
  request.filter = kDocumentFilter;
  request.defaultExtension = kDocumentExtension;
  // A recovered document is proposed back to the file it came from.
  if (!doc.pathName.empty())
    request.initialName = doc.pathName;
  else if (!doc.recoveredFrom.empty())
    request.initialName = doc.recoveredFrom;
  else
    request.initialName = doc.Title() + "." + kDocumentExtension;
  request.overwritePrompt = true;
  return request;
}

FileDialogRequest ImportGraphRequest() {
  FileDialogRequest request;
  request.filter = "Zentrel Files (*.ztl);;All Files (*.*)";
  request.defaultExtension = "ztl";
  request.initialName = "default.ztl";
  request.hideReadOnly = true;
  return request;
}

FileStep FileStep::Failure(Ui& ui, std::string message) {
  ui.messageBox(message);
  return {false, std::move(message)};
}

FileStep SaveDocument(CZentrelDoc& doc, Ui& ui, const std::string& path) {
  // The bytes are made first and the document marked stored only after the
  // file is safely in place, so a failed save changes nothing.
  const std::vector<std::uint8_t> bytes = GraphFileBytes(doc, ui.drawingLayout().value_or(PageLayout{}));
  std::string error;
  {
    ProgressScope progress(ui, "Saving " + BareFileName(path) + "...");
    error = WriteFileAtomically(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, progress.callback());
  }
  if (error == kWriteCancelled) return {};  // the previous file is untouched
  if (!error.empty()) return FileStep::Failure(ui, std::string(kFailedToSaveDocument) + "\n" + error);
  MarkSetsStored(doc);
  doc.pathName = path;
  doc.SetModifiedFlag(false);
  return FileStep::Done();
}

bool SaveDocumentTo(CZentrelDoc& doc, Ui& ui, const std::string& path) { return SaveDocument(doc, ui, path).done; }

bool SaveModified(CZentrelDoc& doc, Ui& ui) { return AskToSaveChanges(doc, ui).done; }

bool OpenDocumentFile(CZentrelDoc& doc, Ui& ui, const std::string& path) { return OpenDocument(doc, ui, path).done; }

CommandOutcome OnNew(CZentrelDoc& doc, Ui& ui) {
  if (FileStep saved = AskToSaveChanges(doc, ui); !saved.done) return OutcomeOf(saved);
  doc.ResetDocument();
  return Outcome::Redraw();
}

CommandOutcome OnOpen(CZentrelDoc& doc, Ui& ui) {
  // OpenDocument redraws itself: the front ends also open files directly.
  const auto path = ui.openFileName(GraphOpenRequest());
  if (!path) return {};
  return OutcomeOf(OpenDocument(doc, ui, *path));
}

CommandOutcome OnSave(CZentrelDoc& doc, Ui& ui) { return OutcomeOf(DoSave(doc, ui)); }

CommandOutcome OnSaveAs(CZentrelDoc& doc, Ui& ui) { return OutcomeOf(DoSaveAs(doc, ui)); }

CommandOutcome OnImportGraph(CZentrelDoc&, Ui& ui) {
  const auto path = ui.openFileName(ImportGraphRequest());
  if (!path) return {};
  CommandOutcome outcome = Outcome::Redraw();
  CZentrelDoc imported;
  GraphLoadResult result;
  const FileStep read = ReadGraphFile(*path, imported, ui, result);
  if (!read.done) {
    if (!read.failure.empty()) outcome = std::move(outcome).Failed(read.failure);
    return outcome;
  }
  for (const auto& message : result.messages) ui.messageBox(message);
  // A file that fails part-way still gives the sets read before the fault,
  // and the command still fails.
  if (!result.ok) outcome = std::move(outcome).Failed(FileStep::Failure(ui, std::string(kUnexpectedFileFormat)).failure);
  // Copies whose convolution sources follow them: a fit convolved with
  // the file's set k ends up convolved with set base + k.
  for (auto& set : CopySetList(imported.sets)) outcome = std::move(outcome).AddSet(std::move(set)).Modified();
  return outcome;
}

std::span<const CommandBinding> FileCommandBindings() {
  static const CommandBinding bindings[] = {
    {Cmd::New, &OnNew},
    {Cmd::Open, &OnOpen},
    {Cmd::ImportGraph, &OnImportGraph},
    {Cmd::Save, &OnSave},
    {Cmd::SaveAs, &OnSaveAs},
  };
  return bindings;
}

}  // namespace zentrel
