#include "app/commands/options_import.h"

#include <algorithm>
#include <utility>

#include "app/dialogs/import_options_dialog.h"
#include "app/remembered_import.h"
#include "app/ui.h"
#include "io/byte_source.h"
#include "io/file_names.h"
#include "io/io_status.h"
#include "io/text_sniff.h"

namespace zentrel {

namespace {

// Words for a failure the reader did not explain itself.
std::string FailureWords(int status) {
  switch (status) {
    case kIoBinary: return "binary data, not text";
    case kIoTooLarge: return "too large";
    case kIoNoPoints: return "no data points";
    case kIoCannotOpen: return "read error";
    default: return "unreadable";
  }
}

int LongestColumn(const std::vector<std::unique_ptr<Data_Set>>& sets) {
  int points = 0;
  for (const auto& set : sets)
    for (int c = 0; c < set->ColumnCount(); ++c) points = std::max(points, set->PointCount(c));
  return points;
}

}  // namespace

AskedImportOptions AskImportOptions(CZentrelDoc& doc, Ui& ui, const std::vector<std::string>& paths) {
  AskedImportOptions asked;
  std::optional<std::string> head;
  std::string previewed;
  for (const std::string& path : paths) {
    OpenError error = OpenError::None;
    head = ReadFileHead(path, kTextSniffBytes, &error);
    // Binary bytes make no preview worth showing: the reader's words instead.
    const BinarySign binary = head ? SniffTextStart(*head) : BinarySign::None;
    if (head && binary == BinarySign::None) {
      previewed = path;
      break;
    }
    head.reset();
    // The first file's reason is the one told when none can be read.
    if (asked.failure.empty())
      asked.failure = "Couldn't open file " + BareFileName(path) + ": " +
                      (binary != BinarySign::None  ? BinarySignText(binary)
                       : error != OpenError::None ? OpenErrorText(error)
                                                  : "read error");
  }
  if (!head) return asked;
  asked.failure.clear();
  ImportOptions proposal = ProposeImportOptions(*head, RememberedImportOptions(doc));
  ImportOptionsDialogModel dialog(std::move(proposal), std::move(*head), BareFileName(previewed));
  if (!ui.runDialog(dialog)) return asked;
  RememberImportOptions(doc, dialog.options);
  asked.options = dialog.options;
  return asked;
}

OptionsRead ReadWithOptions(const std::string& path, const ImportOptions& options, const ProgressCallback& progress) {
  OptionsRead read;
  DelimitedReadInfo info;
  std::string why;
  read.report.status = ReadDelimitedFile(read.sets, path, options, progress, &info, &why);
  if (read.report.status == kIoCancelled) {
    read.sets.clear();
    return read;
  }
  if (read.report.status == kIoOk) {
    read.report.points = LongestColumn(read.sets);
    read.report.columns = info.columns;
    read.report.linesSkipped = info.linesSkipped;
    read.emptyYColumns = info.emptyYColumns;
    if (read.report.points == 0 || read.sets.empty()) read.report.status = kIoNoPoints;
  }
  if (read.report.status != kIoOk) {
    read.sets.clear();
    read.report.reason = why.empty() ? FailureWords(read.report.status) : why;
  }
  return read;
}

std::string OptionsReadStatus(const OptionsRead& read, std::string_view fileName) {
  std::string text = ImportStatusText(read.report, fileName);
  if (!read.report.ok()) return text;
  if (read.sets.size() > 1) text += "; " + std::to_string(read.sets.size()) + " sets";
  // A column the person asked for must not vanish without a word.
  if (!read.emptyYColumns.empty())
    text += std::string("; no points in ") + (read.emptyYColumns.size() == 1 ? "column " : "columns ") +
            ColumnListText(read.emptyYColumns);
  return text;
}

}  // namespace zentrel
