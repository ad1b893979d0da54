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

// Reads a graph file into `into`, showing what went wrong. False when the
// file could not be read at all; `result` tells how far reading got.
bool ReadGraphFile(const std::string& path, CZentrelDoc& into, Ui& ui, GraphLoadResult& result) {
  std::vector<std::uint8_t> bytes;
  FileReadStatus status;
  {
    ProgressScope progress(ui, "Reading " + BareFileName(path) + "...");
    status = ReadWholeFile(path, bytes, progress.callback());
  }
  switch (status) {
    case FileReadStatus::NotFound: ui.messageBox(CannotFindFileMessage(path)); return false;
    case FileReadStatus::Failed: ui.messageBox(std::string(kFailedToOpenDocument)); return false;
    case FileReadStatus::Cancelled: return false;  // the person stopped it: nothing to say
    case FileReadStatus::Ok: break;
  }
  result = LoadGraph(bytes, into);
  return true;
}

bool DoSaveAs(CZentrelDoc& doc, Ui& ui) {
  const auto path = ui.saveFileName(GraphSaveRequest(doc));
  return path && SaveDocumentTo(doc, ui, *path);
}

bool DoSave(CZentrelDoc& doc, Ui& ui) {
  if (doc.pathName.empty()) return DoSaveAs(doc, ui);
  return SaveDocumentTo(doc, ui, doc.pathName);
}

}  // namespace

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
  request.initialName = doc.pathName.empty() ? doc.Title() + "." + kDocumentExtension : doc.pathName;
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

bool SaveDocumentTo(CZentrelDoc& doc, Ui& ui, const std::string& path) {
  // The bytes are made first and the document marked stored only after the
  // file is safely in place, so a failed save changes nothing.
  const std::vector<std::uint8_t> bytes = GraphFileBytes(doc, ui.drawingLayout().value_or(PageLayout{}));
  std::string error;
  {
    ProgressScope progress(ui, "Saving " + BareFileName(path) + "...");
    error = WriteFileAtomically(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, progress.callback());
  }
  if (error == kWriteCancelled) return false;  // the previous file is untouched
  if (!error.empty()) {
    ui.messageBox(std::string(kFailedToSaveDocument));
    return false;
  }
  MarkSetsStored(doc);
  doc.pathName = path;
  doc.SetModifiedFlag(false);
  return true;
}

bool SaveModified(CZentrelDoc& doc, Ui& ui) {
  if (!doc.IsModified()) return true;
  const std::optional<bool> answer = ui.askSaveChanges(doc.Title());
  if (!answer) return false;
  return !*answer || DoSave(doc, ui);
}

bool OpenDocumentFile(CZentrelDoc& doc, Ui& ui, const std::string& path) {
  if (!SaveModified(doc, ui)) return false;
  // Read into a document of its own and take it over only when the whole
  // file was good: a bad file never leaves a half-loaded graph.
  CZentrelDoc loaded;
  loaded.graph = doc.graph;  // the reset keeps the fit display switches, as New does
  GraphLoadResult result;
  if (!ReadGraphFile(path, loaded, ui, result)) return false;
  if (!result.ok) {
    ui.messageBox(std::string(kUnexpectedFileFormat));
    return false;
  }
  for (const auto& message : result.messages) ui.messageBox(message);
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
  doc.pathName = path;
  doc.SetModifiedFlag(false);
  ui.redraw();
  return true;
}

CommandOutcome OnNew(CZentrelDoc& doc, Ui& ui) {
  if (!SaveModified(doc, ui)) return {};
  doc.ResetDocument();
  return Outcome::Redraw();
}

CommandOutcome OnOpen(CZentrelDoc& doc, Ui& ui) {
  // OpenDocumentFile redraws itself: the front ends also call it directly.
  const auto path = ui.openFileName(GraphOpenRequest());
  if (path) OpenDocumentFile(doc, ui, *path);
  return {};
}

CommandOutcome OnSave(CZentrelDoc& doc, Ui& ui) {
  DoSave(doc, ui);
  return {};
}

CommandOutcome OnSaveAs(CZentrelDoc& doc, Ui& ui) {
  DoSaveAs(doc, ui);
  return {};
}

CommandOutcome OnImportGraph(CZentrelDoc&, Ui& ui) {
  const auto path = ui.openFileName(ImportGraphRequest());
  if (!path) return {};
  CommandOutcome outcome = Outcome::Redraw();
  CZentrelDoc imported;
  GraphLoadResult result;
  if (ReadGraphFile(*path, imported, ui, result)) {
    for (const auto& message : result.messages) ui.messageBox(message);
    // A file that fails part-way still gives the sets read before the fault.
    if (!result.ok) ui.messageBox(std::string(kUnexpectedFileFormat));
    // Copies whose convolution sources follow them: a fit convolved with
    // the file's set k ends up convolved with set base + k.
    for (auto& set : CopySetList(imported.sets)) outcome = std::move(outcome).AddSet(std::move(set)).Modified();
  }
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
