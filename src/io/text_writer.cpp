#include "io/text_writer.h"

#include "io/io_status.h"
#include "io/number_format.h"
#include "model/data_set.h"
#include "util/atomic_file.h"

namespace zentrel {

namespace {

// Rows of all columns; `between` follows every value but the row's last,
// `after` follows the last.
std::string FormatRows(const Data_Set& set, char between, const char* after, const char* rowSeparator) {
  std::string text;
  const int points = set.PointCount(0);
  const int lastColumn = set.lastColumn();
  // About 24 characters per value in the longest form.
  text.reserve(static_cast<size_t>(points) * static_cast<size_t>(lastColumn + 1) * 12);
  for (int i = 0; i < points; ++i) {
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

int WriteStyled(Data_Set& set, TextStyle style) {
  if (!set.modified) return kIoOk;
  if (set.ColumnCount() == 0) return kIoNothingToWrite;
  if (!WriteFileAtomically(set.name, FormatSetText(set, style)).empty()) return kIoCannotCreate;
  set.modified = false;
  return kIoOk;
}

}  // namespace

std::string FormatSetText(const Data_Set& set, TextStyle style) {
  return FormatRows(set, style == TextStyle::Csv ? ',' : ' ', " ", "\n");
}

int WriteTextFile(Data_Set& set) { return WriteStyled(set, TextStyle::Ascii); }

int WriteCsvFile(Data_Set& set) { return WriteStyled(set, TextStyle::Csv); }

std::optional<std::string> CopySetText(const Data_Set& set) {
  if (set.PointCount(0) == 0) return std::nullopt;
  return FormatRows(set, '\t', "", "\n");
}

}  // namespace zentrel
