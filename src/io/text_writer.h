#pragma once
// Text out: the ASCII and CSV export files and the clipboard copy of a set.
// Values are written by AppendNumber (number_format.h).

#include <optional>
#include <string>

#include "util/progress.h"

namespace zentrel {

class Data_Set;

enum class TextStyle {
  Ascii,  // every value followed by one blank
  Csv,    // every value followed by a comma, the last column's by a blank
};

// The file body: one row per point of column 0, every column up to the last
// (a missing cell as 0), rows separated by "\n", no line end after the last.
std::string FormatSetText(const Data_Set& set, TextStyle style);

// Write the set to the path in its `name` when its `modified` flag is set,
// then clear the flag. kIoOk (also when nothing needed writing),
// kIoNothingToWrite when the set has no column, kIoCannotCreate when the file
// cannot be written (an existing file is then left as it was; `whyNot`, when
// given, says why), kIoCancelled when `progress` stopped it (nothing
// written, the flag kept).
int WriteTextFile(Data_Set& set, const ProgressCallback& progress = {}, std::string* whyNot = nullptr);
int WriteCsvFile(Data_Set& set, const ProgressCallback& progress = {}, std::string* whyNot = nullptr);

// The clipboard text: values separated by tabs, rows by "\n", no final line
// end. Nothing when column 0 has no points.
std::optional<std::string> CopySetText(const Data_Set& set);

}  // namespace zentrel
