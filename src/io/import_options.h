#pragma once
// Reading a text data file the way the person says: which character parts
// the fields, which one marks decimals, how many lines to skip, which column
// is x, y and the errors, and whether a line of column names comes first.
// The plain ASCII and CSV imports do not use this (io/text_reader.h); this is
// the "Options..." import for what instruments and spreadsheets write.
//
// Columns count from 1, as the person sees them in the preview; 0 means
// "none" (or, for x, the row number).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_source.h"
#include "util/progress.h"

namespace zentrel {

class Data_Set;

enum class FieldDelimiter { Auto, Whitespace, Comma, Semicolon, Tab };
enum class DecimalMark { Point, Comma };

// The highest column number the import accepts.
inline constexpr int kMaxImportColumn = 100000;
struct ImportOptions {
  // Auto is resolved by DetectImportOptions before reading; the reader
  // treats a remaining Auto as Whitespace-or-comma, like the plain import.
  FieldDelimiter delimiter = FieldDelimiter::Auto;
  DecimalMark decimal = DecimalMark::Point;
  int skipLines = 0;        // lines dropped before anything else is looked at
  char comment = '%';       // lines starting with it go to the set's comment; 0: none
  int xColumn = 1;          // 0: the row number (0, 1, 2, ...) of the data line
  std::vector<int> yColumns{2};  // one set per column, all sharing x
  int yErrorColumn = 0;     // 0: none
  int xErrorColumn = 0;     // 0: none
  bool header = false;      // the first non-comment line after the skipped ones holds names
};

// Whether the options can be used, in words for the dialog and scripts
// ("y column must be given", "column 0 is not a column", ...); nothing when
// they can.
std::optional<std::string> ValidateImportOptions(const ImportOptions& options);

// Proposes options from the first bytes of a file (a few KiB are plenty):
// the delimiter and decimal mark seen on most data-looking lines, a header
// line of names before the first data line, instrument lines to skip before
// it, and x = 1, y = 2 (y = 1 with x the row number for a single column).
ImportOptions DetectImportOptions(std::string_view head);

// The first rows as they will be read, for the dialog's preview.
struct ImportPreview {
  std::vector<std::string> columnNames;            // from the header line, else empty
  std::vector<std::vector<std::string>> fields;    // each row's fields as text, unquoted
  std::vector<std::vector<std::optional<double>>> values;  // the same, as numbers when they are
  int columns = 0;                                 // the most fields of a row shown or of the names
};
ImportPreview PreviewImport(std::string_view head, const ImportOptions& options, int rows = 20);

// What the reader saw besides the values.
struct DelimitedReadInfo {
  int dataLines = 0;
  int linesSkipped = 0;      // non-blank lines without a number in x and in some y column
  int columns = 0;           // the most fields of a data line
  std::vector<std::string> columnNames;  // from the header line
  std::vector<int> emptyYColumns;        // chosen y columns that gave no point: no set for them
};

// Reads `path` with `options` (validated first) into one new set per y
// column, named "FILE: yname" with a header line, "FILE" for one y column
// without one, and "FILE: column N" for several. A data line is one whose x
// (unless x is the row number) and at least one y are numbers; a y column
// whose cell is not a number leaves that line out of its set only, and an
// error cell that is not a number reads 0, like an unset cell. The new sets
// are appended to `sets`; on kIoCannotOpen, kIoBinary, kIoTooLarge,
// kIoNoPoints, kIoBadFormat (options that ValidateImportOptions refuses) or
// kIoCancelled nothing is appended. `why`, when given, says why in words.
int ReadDelimitedFile(std::vector<std::unique_ptr<Data_Set>>& sets, const std::string& path,
                      const ImportOptions& options, const ProgressCallback& progress = {},
                      DelimitedReadInfo* info = nullptr, std::string* why = nullptr);

// The same for a text held in memory (tests, fuzzing); `fileName` names the sets.
int ReadDelimitedText(std::vector<std::unique_ptr<Data_Set>>& sets, std::string_view text,
                      std::string_view fileName, const ImportOptions& options,
                      DelimitedReadInfo* info = nullptr);

// The first `limit` bytes of a file for detection and the preview; nothing
// when it cannot be read (`error` says why).
std::optional<std::string> ReadFileHead(const std::string& path, std::size_t limit = 64 * 1024,
                                        OpenError* error = nullptr);

}  // namespace zentrel
