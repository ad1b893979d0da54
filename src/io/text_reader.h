#pragma once
// The reader shared by the ASCII and CSV imports. A line is read as through
// a 1024-byte line buffer: at most 1023 characters at a time, so a longer
// line arrives as several lines; LF, CR LF and a lone CR each end a line, and
// a UTF-8 byte-order mark at the start is skipped. Lines that
// start with '%' add their text to the set's comment (ended by CR LF). Other
// lines are data when their first character after blanks and tabs is a digit,
// '+', '-' or '.'; their fields, split at runs of blanks, tabs and commas, go
// to columns 0, 1, 2, ... of one row, and a field that is not a number leaves
// its cell unset without shifting the rest. At the end the two-line header
// rule and the single-column rule apply (see finish()).
//
// Text that is plainly not text is refused (kIoBinary) rather than read as
// numbers: any NUL byte, a UTF-16 byte-order mark, or invalid UTF-8 in most
// lines of the first 64 KiB.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_source.h"
#include "util/progress.h"

namespace zentrel {

class Data_Set;

// Why a text was taken for binary data.
enum class BinarySign { None, NulBytes, Utf16, InvalidUtf8 };

// What the reader saw besides the values it stored.
struct TextReadInfo {
  int linesSkipped = 0;      // non-blank lines that were neither data nor comment
  int fields = 0;            // the most fields of a data line
  bool twoLineHeader = false;
  double headerScale = 1.0;  // the factor x was multiplied by under that rule
  bool singleColumn = false; // x became the point index
  BinarySign binary = BinarySign::None;
  OpenError openError = OpenError::None;  // with kIoCannotOpen
};

// The reason as a user reads it after "Couldn't open file NAME: ".
const char* BinarySignText(BinarySign sign);

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
  // atEnd, or once overLimit(), everything is used.
  std::size_t consume(const char* data, std::size_t size, bool atEnd);

  // True once the rows would need memory far out of proportion to the bytes
  // read (a row with many fields after very many short rows), or once the
  // text was found to be binary; parsing stops.
  bool overLimit() const { return overLimit_ || binary_ != BinarySign::None; }

  // The two-line header rule, then the single-column rule; clears the set's
  // modified flag. Returns kIoOk, kIoTooLarge when the rows grew too large,
  // or kIoBinary.
  int finish();

  // Filled by finish().
  const TextReadInfo& info() const { return info_; }

  // Makes this a reader of the second piece of a text split in two, which
  // starts at a line start `offset` bytes in: no byte-order mark there, rows
  // counted from 0, and what the rules decide from the whole text (the UTF-8
  // check of the leading lines, the header rule, the memory guard) noted for
  // joinTail() instead. Call before the first consume().
  void startMidText(std::uint64_t offset);

  // Takes over the rows of `tail`, a reader started by startMidText(offset)
  // that has read everything from `offset` on, where this reader has
  // consumed exactly the bytes before `offset`: afterwards this reader holds
  // what it would hold had it read those bytes itself, bit for bit. False,
  // changing nothing, when that cannot be told from the two alone (the tail
  // stopped, or reading on would have stopped this reader part way); the
  // caller then reads the rest with this reader.
  bool joinTail(TextDataReader& tail);

 private:
  // A non-empty line piece of the leading bytes of a second piece: where it
  // ends in the piece's UTF-8 check, and whether it failed it.
  struct SniffedPiece {
    std::uint32_t bytesAfter;
    bool invalid;
  };
  std::int64_t cellsAfterJoin(const TextDataReader& tail) const;
  bool sniffingStopsIn(const TextDataReader& tail) const;
  void takeSniffing(const TextDataReader& tail);
  void takeHeaderRule(const TextDataReader& tail);

  std::size_t startOfText(const char* data, std::size_t size, bool atEnd);
  template <bool kCrInBlock>
  const char* consumeLines(const char* data, const char* p, bool atEnd);
  void piece(const char* first, const char* last, bool endsLine);
  void sniff(const char* first, const char* last, bool endsLine);
  void endSniffing();
  void dataRow(const char* p, const char* last);
  bool store(int column, double value);
  void reserveFromEstimate();

  Data_Set& set_;
  int row_ = 0;
  int maxFields_ = 0;
  bool header_ = false;
  bool overLimit_ = false;
  bool reserved_ = false;
  bool started_ = false;      // the byte-order mark has been dealt with
  bool blockHasNul_ = false;
  bool sniffing_ = true;
  bool lineContinues_ = false;  // the last piece sniffed did not end its line
  BinarySign binary_ = BinarySign::None;
  std::uint64_t sniffed_ = 0;  // bytes of lines checked for UTF-8
  int sniffedLines_ = 0;
  int invalidLines_ = 0;
  int linesSkipped_ = 0;
  TextReadInfo info_;
  const char* readable_ = nullptr;  // end of the block being parsed
  std::vector<std::int64_t> columnSize_;  // mirrors the set's column lengths
  std::int64_t cells_ = 0;
  std::int64_t cellLimit_ = 0;
  std::uint64_t bytesUsed_ = 0;
  std::uint64_t expectedBytes_ = 0;
  // Second piece only: where it starts in the text, and its notes.
  std::uint64_t offset_ = 0;
  bool midText_ = false;
  std::vector<SniffedPiece> sniffedPieces_;
  int oneFieldRows_[3] = {0, 0, 0};  // the first rows with a single field
  int oneFieldCount_ = 0;
};

// Reads a whole text held in memory into an empty set.
int ReadTextData(Data_Set& set, std::string_view text, TextReadInfo* info = nullptr);

// When ReadTextFile shares a file between two threads: the first reads up
// to a line start near the middle, the second from there on, and the second
// piece's rows are joined after the first's. The result is the same bit for
// bit as reading in one piece. The defaults suit real files; tests force the
// split on small ones, anywhere.
struct TextReadThreads {
  std::uint64_t splitFrom = std::uint64_t{4} << 20;  // files of at least this many bytes are split
  // The second piece starts after the first line end from this byte on;
  // none: from the middle.
  std::optional<std::uint64_t> splitNear;
  std::size_t blockBytes = std::size_t{1} << 20;    // read at a time by each thread (4 KiB at least)
};

// Reads a text data file into an empty set; the set's name becomes `path`.
// kIoOk, kIoCannotOpen (cannot open or read), kIoTooLarge, kIoBinary, or
// kIoCancelled when `progress` answered false (the set then holds part of
// the file). Progress counts the bytes read by both threads; a cancel stops
// both within a block.
int ReadTextFile(Data_Set& set, const std::string& path, const ProgressCallback& progress = {},
                 TextReadInfo* info = nullptr, const TextReadThreads& threads = {});

}  // namespace zentrel
