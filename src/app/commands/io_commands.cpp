// Import and export commands: data files, clipboard text, WAV.

#include "app/commands/io_commands.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands/bindings.h"
#include "app/commands/options_import.h"
#include "app/dialogs/file_type_dialog.h"
#include "app/dialogs/set_picker.h"
#include "app/ui.h"
#include "io/data_import.h"
#include "io/file_names.h"
#include "io/fsdata.h"
#include "io/io_status.h"
#include "io/pasted_text.h"
#include "io/text_writer.h"
#include "io/wave.h"
#include "model/document.h"
#include "util/atomic_file.h"

namespace zentrel {

namespace {

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | (g << 8) | (b << 16); }

// When the person stops a long import; the document stays as it was.
constexpr std::string_view kImportCancelled = "Import cancelled";

constexpr std::uint32_t kImportColours[] = {
  Rgb(0, 0, 0),   Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(0, 0, 255),   Rgb(0, 255, 255),
  Rgb(255, 255, 0), Rgb(255, 0, 255), Rgb(255, 150, 0), Rgb(150, 255, 0), Rgb(150, 0, 255),
};

// What each kind's file dialogs show.
struct KindDialogs {
  const char* filter;
  const char* extension;
  const char* importName;  // initial name in the import dialog
  const char* multiName;   // initial name in the multiple-selection dialog
};

KindDialogs DialogsFor(FileKind kind) {
  switch (kind) {
    case FileKind::Fsdata: return {"FSdata Files (*.dat);;All Files (*)", "dat", "default.dat", "*.dat"};
    case FileKind::Ascii: return {"ASCII Text Files (*.txt);;All Files (*)", "txt", "*.txt", "*.txt"};
    case FileKind::Csv: return {"CSV Text Files (*.csv);;All Files (*)", "csv", "default.csv", "*.csv"};
    // Whatever text an instrument or a spreadsheet wrote, by any name.
    case FileKind::Options: return {"Text Files (*.txt *.csv *.tsv *.asc);;All Files (*)", "", "", ""};
    case FileKind::None: break;
  }
  return {"", "", "", ""};
}

FileDialogRequest ImportRequest(FileKind kind) {
  const KindDialogs dialogs = DialogsFor(kind);
  FileDialogRequest request;
  request.filter = dialogs.filter;
  request.defaultExtension = dialogs.extension;
  request.initialName = dialogs.importName;
  request.hideReadOnly = false;
  return request;
}

FileDialogRequest MultipleImportRequest(FileKind kind) {
  FileDialogRequest request;
  request.filter = "ASCII Text Files (*.txt);;Fsdata Files (*.dat);;Excel CSV Files (*.csv);;All Files (*)";
  request.initialName = DialogsFor(kind).multiName;
  request.hideReadOnly = false;
  return request;
}

FileDialogRequest ExportRequest(FileKind kind, const std::string& setName) {
  const KindDialogs dialogs = DialogsFor(kind);
  FileDialogRequest request;
  request.filter = dialogs.filter;
  request.defaultExtension = dialogs.extension;
  request.initialName = setName;
  request.overwritePrompt = true;
  return request;
}

FileDialogRequest WaveRequest() {
  FileDialogRequest request;
  request.filter = "WAV Files (*.wav);;All Files (*)";
  request.defaultExtension = "wav";
  request.initialName = "default.wav";
  return request;
}

// One file read by the chosen kind's reader: its sets (one, or one per y
// column with options) or why none, and the status line that says so.
struct FileRead {
  ImportReport report;
  std::vector<std::unique_ptr<Data_Set>> sets;
  std::string status;  // not for a cancelled read
};

// Reads one file with the kind's reader; a plain reader's set is named after
// the file, the options reader names its own.
FileRead ReadDataFile(FileKind kind, const ImportOptions& options, const std::string& path,
                      const ProgressCallback& progress) {
  FileRead read;
  if (kind == FileKind::Options) {
    OptionsRead withOptions = ReadWithOptions(path, options, progress);
    read.status = OptionsReadStatus(withOptions, BareFileName(path));
    read.report = std::move(withOptions.report);
    read.sets = std::move(withOptions.sets);
    return read;
  }
  auto set = std::make_unique<Data_Set>();
  switch (kind) {
    // FSdata files hold a few thousand points at most: no progress needed.
    case FileKind::Fsdata: read.report = ImportDataFile(DataFormat::Fsdata, *set, path); break;
    case FileKind::Ascii:
    case FileKind::Csv: read.report = ImportDataFile(DataFormat::Text, *set, path, progress); break;
    case FileKind::Options:
    case FileKind::None: break;
  }
  set->name = BareFileName(path);
  read.status = ImportStatusText(read.report, set->name);
  if (read.report.ok()) read.sets.push_back(std::move(set));
  return read;
}

// What an export could not write, after "Couldn't write file PATH: ".
std::string NothingToExport(FileKind kind, const Data_Set& set) {
  if (kind == FileKind::Fsdata) {
    if (std::min(set.PointCount(0), set.PointCount(1)) > 0) return {};
    return set.PointCount(0) > 0 || set.PointCount(1) > 0 ? "the set has no points with both x and y"
                                                          : "the set has no points";
  }
  return set.PointCount(0) > 0 ? std::string() : "the set has no points";
}

}  // namespace

std::span<const std::uint32_t> ImportColours() { return kImportColours; }

CommandOutcome OnImportData(CZentrelDoc& doc, Ui& ui) {
  const FileKind kind = ChooseFileType(ui);
  if (kind == FileKind::None) return {};
  const auto path = ui.openFileName(ImportRequest(kind));
  if (!path) return {};
  ImportOptions options;
  if (kind == FileKind::Options) {
    AskedImportOptions asked = AskImportOptions(doc, ui, {*path});
    if (!asked.failure.empty()) return Outcome::Status(asked.failure).Redraw().Failed(asked.failure);
    if (!asked.options) return {};
    options = std::move(*asked.options);
  }
  FileRead read;
  {
    ProgressScope progress(ui, "Importing " + BareFileName(*path) + "...");
    read = ReadDataFile(kind, options, *path, progress.callback());
  }
  if (read.report.status == kIoCancelled) return Outcome::Status(std::string(kImportCancelled)).Redraw();
  if (!read.report.ok()) return Outcome::Status(read.status).Redraw().Failed(read.status);
  CommandOutcome outcome = Outcome::Autoscale().Modified().Status(std::move(read.status)).Redraw();
  for (auto& set : read.sets) outcome = std::move(outcome).AddSet(std::move(set));
  return outcome;
}

CommandOutcome OnMultipleFileImporting(CZentrelDoc& doc, Ui& ui) {
  const FileKind kind = ChooseFileType(ui);
  if (kind == FileKind::None) return {};  // no reader would apply
  const auto paths = ui.openFileNames(MultipleImportRequest(kind));
  if (!paths) return {};
  // Every file is read with the same options; the dialog previews the first.
  ImportOptions options;
  if (kind == FileKind::Options) {
    AskedImportOptions asked = AskImportOptions(doc, ui, *paths);
    if (!asked.failure.empty()) return Outcome::Status(asked.failure).Autoscale().Redraw().Failed(asked.failure);
    if (!asked.options) return {};
    options = std::move(*asked.options);
  }
  std::string failure;
  std::string shortFiles;
  // Read everything first: a cancelled import adds none of the files.
  std::vector<std::unique_ptr<Data_Set>> sets;
  int filesRead = 0;  // a file read with options may give several sets
  {
    ProgressScope progress(ui, "Importing " + std::to_string(paths->size()) + " files...");
    const double count = static_cast<double>(paths->size());
    for (std::size_t k = 0; k < paths->size(); ++k) {
      const std::string& path = (*paths)[k];
      ProgressCallback fileProgress;
      if (progress.callback())
        fileProgress = [&](double done) { return progress.callback()((static_cast<double>(k) + done) / count); };
      FileRead read = ReadDataFile(kind, options, path, fileProgress);
      if (read.report.status == kIoCancelled) return Outcome::Status(std::string(kImportCancelled));
      if (!read.report.ok()) {
        failure = read.status;
        continue;
      }
      if (read.report.fsdata.truncated())
        shortFiles += (shortFiles.empty() ? "" : "; ") + BareFileName(path) + " holds only " +
                      std::to_string(read.report.fsdata.pointsRead) + " of its " +
                      std::to_string(read.report.fsdata.declaredPoints) + " points";
      ++filesRead;
      for (auto& set : read.sets) sets.push_back(std::move(set));
    }
  }
  CommandOutcome outcome = Outcome::Autoscale().Redraw();
  // The colours go round per set loaded.
  int loaded = 0;
  for (auto& set : sets) {
    set->color = kImportColours[loaded % 10];
    ++loaded;
    outcome = std::move(outcome).AddSet(std::move(set)).Modified();
  }
  std::string status = failure.empty() ? "Opened " + std::to_string(filesRead) + " files" : failure;
  if (!shortFiles.empty()) status += "; " + shortFiles;
  // The files that could be read are added all the same.
  if (!failure.empty()) outcome = std::move(outcome).Failed(failure);
  return std::move(outcome).Status(std::move(status));
}

CommandOutcome OnExportData(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to Save", true);
  if (!picked) return {};
  const FileKind kind = ChooseFileType(ui, FileTypeUse::Export);
  if (kind == FileKind::None) return {};
  const auto path = ui.saveFileName(ExportRequest(kind, picked.set->name));
  if (!path) return {};
  Data_Set& set = *picked.set;
  // Nothing is written for a set without points, and the set keeps its name.
  if (const std::string empty = NothingToExport(kind, set); !empty.empty()) {
    const std::string message = "Couldn't write file " + *path + ": " + empty;
    return Outcome::Status(message).Failed(message);
  }
  const std::string previousName = set.name;
  const bool previouslyModified = set.modified;
  set.name = *path;
  set.modified = true;
  std::string failure;
  int status = kIoOk;
  {
    ProgressScope progress(ui, "Writing " + BareFileName(*path) + "...");
    switch (kind) {
      // FSdata files hold a few thousand points at most: no progress needed.
      case FileKind::Fsdata: status = WriteFsdataFile(set, &failure); break;
      case FileKind::Ascii: status = WriteTextFile(set, progress.callback(), &failure); break;
      case FileKind::Csv: status = WriteCsvFile(set, progress.callback(), &failure); break;
      case FileKind::Options:  // the export chooser does not offer it
      case FileKind::None: break;
    }
  }
  if (status == kIoCancelled) {
    // Nothing was written: the set is as it was.
    set.name = previousName;
    set.modified = previouslyModified;
    return Outcome::Status("Export cancelled");
  }
  if (status != kIoOk) {
    // The set does not live in that file: it keeps its name and its flag.
    set.name = previousName;
    set.modified = previouslyModified;
    // A file that must not be replaced says just that.
    const std::string refusal = ReplaceRefusal(*path);
    if (!refusal.empty()) failure = refusal;
    const std::string message = "Couldn't write file " + *path + (failure.empty() ? "" : ": " + failure);
    return Outcome::Status(message).Failed(message);
  }
  // Replaces whatever an earlier command left in the status line.
  return Outcome::Status("Data set written to " + *path);
}

CommandOutcome OnCopy(CZentrelDoc& doc, Ui& ui) {
  const PickedSet picked = PickSet(doc, ui, "Select a Set to copy data from", true);
  if (!picked) return {};
  const auto text = CopySetText(*picked.set);
  if (!text) return {};
  ui.setClipboardText(*text);
  return Outcome::Status("Data set copied");
}

CommandOutcome OnPaste(CZentrelDoc&, Ui& ui) {
  const auto text = ui.clipboardText();
  if (!text) return {};
  auto set = std::make_unique<Data_Set>();
  const int status = ParsePastedText(*set, *text);
  if (status == kPasteNoText) return {};
  if (status != kPasteOk) return Outcome::Status("Error in pasted data");
  return Outcome::AddSet(std::move(set)).Status("Data set pasted").Redraw();
}

// One set per channel of the file.
CommandOutcome OnWaveImport(CZentrelDoc&, Ui& ui) {
  const auto path = ui.openFileName(WaveRequest());
  if (!path) return {};
  std::vector<std::unique_ptr<Data_Set>> sets;
  const ImportReport read = ImportWaveChannels(sets, *path);
  const std::string name = BareFileName(*path);
  std::string status = ImportStatusText(read, name);
  if (!read.ok()) return Outcome::Status(status).Redraw().Failed(status);
  CommandOutcome outcome;
  for (std::size_t channel = 0; channel < sets.size(); ++channel) {
    sets[channel]->name = WaveChannelName(name, static_cast<int>(channel), static_cast<int>(sets.size()));
    outcome = std::move(outcome).AddSet(std::move(sets[channel]));
  }
  return std::move(outcome).Autoscale().Modified().Status(std::move(status)).Redraw();
}

std::span<const CommandBinding> IoCommandBindings() {
  static const CommandBinding bindings[] = {
    {Cmd::ImportData, &OnImportData},
    {Cmd::MultipleFileImporting, &OnMultipleFileImporting},
    {Cmd::ExportData, &OnExportData},
    {Cmd::Copy, &OnCopy},
    {Cmd::Paste, &OnPaste},
    {Cmd::WaveImport, &OnWaveImport},
  };
  return bindings;
}

}  // namespace zentrel
