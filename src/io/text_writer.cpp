#include "io/text_writer.h"

#include "io/io_status.h"
#include "io/number_format.h"
#include "model/data_set.h"
#include "util/atomic_file.h"

namespace zentrel {

namespace {

// Formatting takes most of an export's time: it reports up to this share.
constexpr double kFormattingShare = 0.8;
constexpr int kRowsPerReport = 1 << 16;

// Rows of all columns; `between` follows every value but the row's last,
// `after` follows the last. Nothing when `progress` stopped it.
std::optional<std::string> FormatRows(const Data_Set& set, char between, const char* after,
                                      const char* rowSeparator, const ProgressCallback& progress = {}) {
  std::string text;
  const int points = set.PointCount(0);
  const int lastColumn = set.lastColumn();
  // About 24 characters per value in the longest form.
  text.reserve(static_cast<size_t>(points) * static_cast<size_t>(lastColumn + 1) * 12);
  for (int i = 0; i < points; ++i) {
    if (i % kRowsPerReport == kRowsPerReport - 1 &&
        !ContinueAfter(progress, kFormattingShare * static_cast<double>(i) / static_cast<double>(points)))
      return std::nullopt;
    if (i > 0) text += rowSeparator;
    for (int c = 0; c <= lastColumn; ++c) {
      AppendNumber(text, set.GetValue(c, i));
      if (c < lastColumn) {
        text += between;
      } else {
        text += after;
      }
    }
  }
  return text;
}

char Separator(TextStyle style) { return style == TextStyle::Csv ? ',' : ' '; }

int WriteStyled(Data_Set& set, TextStyle style, const ProgressCallback& progress, std::string* whyNot) {
  if (!set.modified) return kIoOk;
  if (set.ColumnCount() == 0) return kIoNothingToWrite;
  const std::optional<std::string> text = FormatRows(set, Separator(style), " ", "\n", progress);
  if (!text) return kIoCancelled;
  ProgressCallback writing;
  if (progress)
    writing = [&progress](double done) { return progress(kFormattingShare + (1 - kFormattingShare) * done); };
  const std::string error = WriteFileAtomically(set.name, *text, writing);
  if (error == kWriteCancelled) return kIoCancelled;
  if (!error.empty()) {
    if (whyNot != nullptr) *whyNot = error;
    return kIoCannotCreate;
  }
  set.modified = false;
  return kIoOk;
}

}  // namespace

std::string FormatSetText(const Data_Set& set, TextStyle style) { return *FormatRows(set, Separator(style), " ", "\n"); }

int WriteTextFile(Data_Set& set, const ProgressCallback& progress, std::string* whyNot) {
  return WriteStyled(set, TextStyle::Ascii, progress, whyNot);
}

int WriteCsvFile(Data_Set& set, const ProgressCallback& progress, std::string* whyNot) {
  return WriteStyled(set, TextStyle::Csv, progress, whyNot);
}

std::optional<std::string> CopySetText(const Data_Set& set) {
  if (set.PointCount(0) == 0) return std::nullopt;
  return *FormatRows(set, '\t', "", "\n");
}

}  // namespace zentrel
