#pragma once
// The reader shared by the ASCII and CSV imports. A line is read as through
// a 1024-byte line buffer: at most 1023 characters at a time, so a longer
// line arrives as several lines; CR LF counts as one line end. Lines that
// start with '%' add their text to the set's comment (ended by CR LF). Other
// lines are data when their first character after blanks and tabs is a digit,
// '+', '-' or '.'; their fields, split at runs of blanks, tabs and commas, go
// to columns 0, 1, 2, ... of one row, and a field that is not a number leaves
// its cell unset without shifting the rest. At the end the two-line header
// rule and the single-column rule apply (see finish()).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/progress.h"

namespace zentrel {

class Data_Set;

// Incremental form, so a file is parsed block by block in place.
class TextDataReader {
 public:
  // The longest piece of a line handled at once, plus its line end.
  static constexpr std::size_t kLineBuffer = 1024;

  explicit TextDataReader(Data_Set& set) : set_(set) {}

  // The total number of bytes expected, when known: columns are then sized
  // once from the first block instead of growing step by step.
  void expectBytes(std::uint64_t total) { expectedBytes_ = total; }

  // Parses every complete line piece in [data, data + size) and returns the
  // number of bytes used. The caller presents the unused tail again, followed
  // by more bytes; its buffer must hold at least kLineBuffer bytes. With
  // atEnd, everything is used.
  std::size_t consume(const char* data, std::size_t size, bool atEnd);

  // True once the rows would need memory far out of proportion to the bytes
  // read (a row with many fields after very many short rows); parsing stops.
  bool overLimit() const { return overLimit_; }

  // The two-line header rule, then the single-column rule; clears the set's
  // modified flag. Returns kIoOk, or kIoTooLarge after overLimit().
  int finish();

 private:
  void piece(const char* first, const char* last, bool endsLine);
  void dataRow(const char* p, const char* last);
  bool store(int column, double value);
  void reserveFromEstimate();

  Data_Set& set_;
  int row_ = 0;
  int maxFields_ = 0;
  bool header_ = false;
  bool overLimit_ = false;
  bool reserved_ = false;
  bool blockHasNul_ = false;
  const char* readable_ = nullptr;  // end of the block being parsed
  std::vector<std::int64_t> columnSize_;  // mirrors the set's column lengths
  std::int64_t cells_ = 0;
  std::int64_t cellLimit_ = 0;
  std::uint64_t bytesUsed_ = 0;
  std::uint64_t expectedBytes_ = 0;
};

// Reads a whole text held in memory into an empty set.
int ReadTextData(Data_Set& set, std::string_view text);

// Reads a text data file into an empty set; the set's name becomes `path`.
// kIoOk, kIoCannotOpen (cannot open or read), kIoTooLarge, or kIoCancelled
// when `progress` answered false (the set then holds part of the file).
int ReadTextFile(Data_Set& set, const std::string& path, const ProgressCallback& progress = {});

}  // namespace zentrel
