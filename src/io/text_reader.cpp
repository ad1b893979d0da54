#include "io/text_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string_view>

#include <sys/mman.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "io/byte_source.h"
#include "io/io_status.h"
#include "io/number_scan_inline.h"
#include "io/text_sniff.h"
#include "model/data_set.h"

namespace zentrel {

namespace {

// A line piece holds at most this many characters, its line end included.
constexpr std::size_t kPieceLength = TextDataReader::kLineBuffer - 1;
// Dense rows never need more than one cell per two bytes; gaps left by
// ragged rows are allowed up to this many cells per byte read, plus a fixed
// allowance, before the file is refused.
constexpr std::int64_t kCellsPerByte = 2;
constexpr std::int64_t kCellAllowance = std::int64_t{1} << 20;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";
// Lines in this many leading bytes decide whether the text is UTF-8 (or
// plain ASCII) at all.
constexpr std::uint64_t kSniffBytes = kTextSniffBytes;

// The first CR or LF in [p, last), or null.
const char* FindLineEnd(const char* p, const char* last) {
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  for (; last - p >= 16; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)));
    if (hits != 0) return p + __builtin_ctz(static_cast<unsigned>(hits));
  }
#endif
  for (; p < last; ++p)
    if (*p == '\n' || *p == '\r') return p;
  return nullptr;
}

// Whether [p, last) is UTF-8. A long line is cut into pieces anywhere, so a
// character may end in the next piece (`mayBeCut`) or have begun in the
// one before (`continues`).
bool IsUtf8(const char* first, const char* last, bool continues, bool mayBeCut) {
  if (continues)
    for (int k = 0; k < 3 && first < last && (static_cast<unsigned char>(*first) & 0xC0) == 0x80; ++k) ++first;
  return IsUtf8Text(std::string_view(first, static_cast<std::size_t>(last - first)), mayBeCut);
}

bool IsDataStart(char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }
bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

}  // namespace

std::size_t TextDataReader::consume(const char* data, std::size_t size, bool atEnd) {
  const char* p = data;
  const char* const end = data + size;
  if (!started_) {
    p += startOfText(data, size, atEnd);
    if (!started_) return 0;
  }
  if (overLimit()) return size;
  blockHasNul_ = size > 0 && std::memchr(data, '\0', size) != nullptr;
  readable_ = end;
  // Most files end their lines with LF alone: they keep the single-character
  // search, and only a block holding a CR pays for looking for both.
  if (size > 0 && std::memchr(data, '\r', size) != nullptr) {
    p = consumeLines<true>(data, p, atEnd);
  } else {
    p = consumeLines<false>(data, p, atEnd);
  }
  // A stopped reader takes whatever it is given, so no caller waits on it.
  if (overLimit()) p = end;
  bytesUsed_ += static_cast<std::uint64_t>(p - data);
  if (!reserved_ && expectedBytes_ > 0 && row_ > 0) reserveFromEstimate();
  return static_cast<std::size_t>(p - data);
}

// The pieces from p to the end of the block (readable_); returns where the
// unused tail starts.
template <bool kCrInBlock>
const char* TextDataReader::consumeLines(const char* data, const char* p, bool atEnd) {
  const char* const end = readable_;
  while (p < end && !overLimit()) {
    cellLimit_ = kCellsPerByte * static_cast<std::int64_t>(offset_ + bytesUsed_ + static_cast<std::uint64_t>(p - data)) +
                 kCellAllowance;
    const auto available = static_cast<std::size_t>(end - p);
    const std::size_t look = std::min(available, kLineBuffer);
    const char* lineEnd;
    if constexpr (kCrInBlock) {
      lineEnd = FindLineEnd(p, p + look);
    } else {
      lineEnd = static_cast<const char*>(std::memchr(p, '\n', look));
    }
    if (lineEnd != nullptr) {
      if (static_cast<std::size_t>(lineEnd - p) < kPieceLength) {
        const char* next = lineEnd + 1;
        if (kCrInBlock && *lineEnd == '\r') {
          // Whether an LF follows decides where the next line starts.
          if (next == end && !atEnd) break;
          if (next < end && *next == '\n') ++next;
        }
        piece(p, lineEnd, true);
        p = next;
      } else {
        piece(p, p + kPieceLength, false);
        p += kPieceLength;
      }
    } else if (available >= kLineBuffer) {
      piece(p, p + kPieceLength, false);
      p += kPieceLength;
    } else if (atEnd) {
      piece(p, end, true);
      p = end;
    } else {
      break;
    }
  }
  return p;
}

// Skips a UTF-8 byte-order mark and refuses UTF-16 by its mark; returns the
// bytes to skip. Until enough bytes have arrived to tell, nothing starts.
std::size_t TextDataReader::startOfText(const char* data, std::size_t size, bool atEnd) {
  const auto startsLike = [&](std::string_view mark) {
    return std::memcmp(data, mark.data(), std::min(size, mark.size())) == 0;
  };
  if (!atEnd && ((size < kUtf8Mark.size() && startsLike(kUtf8Mark)) ||
                 (size < kUtf16LittleMark.size() && (startsLike(kUtf16LittleMark) || startsLike(kUtf16BigMark)))))
    return 0;
  started_ = true;
  const std::string_view text(data, size);
  if (text.starts_with(kUtf8Mark)) return kUtf8Mark.size();
  if (text.starts_with(kUtf16LittleMark) || text.starts_with(kUtf16BigMark)) binary_ = BinarySign::Utf16;
  return 0;
}

void TextDataReader::reserveFromEstimate() {
  reserved_ = true;
  if (bytesUsed_ == 0 || expectedBytes_ <= bytesUsed_) return;
  // Rows per byte so far, scaled to the whole file, with a little headroom.
  // Reserved pages that are never written are never resident either.
  // A row takes at least two bytes, whatever the first block suggested.
  const double estimate = std::min(static_cast<double>(row_) * static_cast<double>(expectedBytes_) /
                                       static_cast<double>(bytesUsed_) * 1.05 + 64.0,
                                   static_cast<double>(expectedBytes_) / 2.0 + 64.0);
  if (estimate >= static_cast<double>(INT_MAX)) return;
  const auto points = static_cast<int>(estimate);
  for (size_t c = 0; c < columnSize_.size(); ++c) {
    if (columnSize_[c] != row_) continue;
    const int column = static_cast<int>(c);
    try {
      set_.Reserve(column, points);
    } catch (const std::bad_alloc&) {
      return;  // only a hint: the columns grow as they go instead
    }
    // Large columns fill faster in huge pages: far fewer page faults.
    const auto start = reinterpret_cast<std::uintptr_t>(set_.ColumnData(column));
    const std::uintptr_t end = start + sizeof(double) * static_cast<std::uintptr_t>(points);
    constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = end & ~(kHugePage - 1);
    if (first < last) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
}

const char* BinarySignText(BinarySign sign) {
  switch (sign) {
    case BinarySign::None: return "";
    case BinarySign::NulBytes: return "binary data (NUL bytes), not text";
    case BinarySign::Utf16: return "UTF-16 text; save it as UTF-8 or ASCII";
    case BinarySign::InvalidUtf8: return "binary data (not UTF-8 text)";
  }
  return "";
}

void TextDataReader::piece(const char* first, const char* last, bool endsLine) {
  if (blockHasNul_ && std::memchr(first, '\0', static_cast<size_t>(last - first)) != nullptr) {
    binary_ = BinarySign::NulBytes;
    return;
  }
  if (sniffing_) sniff(first, last, endsLine);
  if (first == last) return;
  if (*first == '%') {
    set_.comment.append(first + 1, last);
    if (endsLine) set_.comment += "\r\n";
    return;
  }
  while (first < last && (*first == ' ' || *first == '\t')) ++first;
  if (first == last) return;
  if (!IsDataStart(*first)) {
    ++linesSkipped_;
    return;
  }
  dataRow(first, last);
}

void TextDataReader::sniff(const char* first, const char* last, bool endsLine) {
  sniffed_ += static_cast<std::uint64_t>(last - first);
  if (first != last) {
    ++sniffedLines_;
    const bool invalid = !IsUtf8(first, last, lineContinues_, !endsLine);
    if (invalid) ++invalidLines_;
    if (midText_) sniffedPieces_.push_back({static_cast<std::uint32_t>(sniffed_), invalid});
  }
  lineContinues_ = !endsLine;
  if (sniffed_ >= kSniffBytes) {
    // A second piece leaves the verdict to joinTail(): the check may have
    // ended in the first piece already.
    if (midText_) {
      sniffing_ = false;
    } else {
      endSniffing();
    }
  }
}

void TextDataReader::endSniffing() {
  sniffing_ = false;
  if (binary_ == BinarySign::None && 2 * invalidLines_ > sniffedLines_) binary_ = BinarySign::InvalidUtf8;
}

// The hot path of a large import: everything it calls is inlined.
[[gnu::flatten]] bool TextDataReader::store(int column, double value) {
  if (static_cast<size_t>(column) >= columnSize_.size()) columnSize_.resize(static_cast<size_t>(column) + 1, 0);
  std::int64_t& size = columnSize_[static_cast<size_t>(column)];
  if (row_ >= size) {
    const std::int64_t added = row_ + 1 - size;
    // Checked before the column grows, so a refused file never allocates.
    if (added > 1 && cells_ + added > cellLimit_) {
      overLimit_ = true;
      return false;
    }
    cells_ += added;
    size = row_ + 1;
  }
  set_.SetValue(column, row_, value);
  return true;
}

[[gnu::flatten]] void TextDataReader::dataRow(const char* p, const char* last) {
  if (row_ == INT_MAX) {
    overLimit_ = true;
    return;
  }
  int fields = 0;
  while (true) {
    // Most fields are plain decimals: straight to the digits. A number that
    // starts right at the field holds no separator, so the search for the
    // field's end may start after it.
    double value = 0.0;
    const char* after = nullptr;
    bool ok;
    if (scan_detail::IsDigit(*p)) {
      ok = scan_detail::ScanDecimal(p, last, readable_, value, after);
    } else if (*p == '-' && p + 1 < last && scan_detail::IsDigit(p[1])) {
      ok = scan_detail::ScanDecimal(p + 1, last, readable_, value, after);
      value = -value;
    } else {
      const ScannedNumber number = scan_detail::ScanNumberInline(p, last, readable_);
      ok = number.ok;
      value = number.value;
      after = IsScanSpace(*p) ? p : number.end;
    }
    if (ok) {
      if (!store(fields, value)) return;
      p = after;
    }
    ++fields;
    while (p < last && !IsSeparator(*p)) ++p;
    while (p < last && IsSeparator(*p)) ++p;
    if (p >= last) break;
  }
  maxFields_ = std::max(maxFields_, fields);
  if (fields == 1 && oneFieldCount_ < 3) oneFieldRows_[oneFieldCount_++] = row_;
  if (row_ == 0) {
    header_ = fields == 1;
  } else if (row_ >= 2 && fields == 1) {
    header_ = false;
  }
  ++row_;
}

void TextDataReader::startMidText(std::uint64_t offset) {
  started_ = true;
  midText_ = true;
  offset_ = offset;
}

// The cells the columns would hold after joinTail(): the tail's columns
// continue after this reader's rows, the others keep their length.
std::int64_t TextDataReader::cellsAfterJoin(const TextDataReader& tail) const {
  std::int64_t cells = 0;
  const std::size_t columns = std::max(columnSize_.size(), tail.columnSize_.size());
  for (std::size_t c = 0; c < columns; ++c) {
    const std::int64_t own = c < columnSize_.size() ? columnSize_[c] : 0;
    const std::int64_t added = c < tail.columnSize_.size() ? tail.columnSize_[c] : 0;
    cells += added > 0 ? row_ + added : own;
  }
  return cells;
}

// Whether this reader's UTF-8 check, carried on through the tail's leading
// lines, would end there finding binary data: reading on, this reader would
// have stopped part way through the tail.
bool TextDataReader::sniffingStopsIn(const TextDataReader& tail) const {
  int lines = sniffedLines_;
  int invalid = invalidLines_;
  for (const SniffedPiece& piece : tail.sniffedPieces_) {
    ++lines;
    if (piece.invalid) ++invalid;
    if (sniffed_ + piece.bytesAfter >= kSniffBytes) return 2 * invalid > lines;
  }
  return false;
}

void TextDataReader::takeSniffing(const TextDataReader& tail) {
  for (const SniffedPiece& piece : tail.sniffedPieces_) {
    ++sniffedLines_;
    if (piece.invalid) ++invalidLines_;
    if (sniffed_ + piece.bytesAfter >= kSniffBytes) {
      sniffed_ += piece.bytesAfter;
      endSniffing();
      return;
    }
  }
  // The whole tail was checked and the check goes on to the end.
  sniffed_ += tail.sniffed_;
  lineContinues_ = tail.lineContinues_;
}

// Row 0 decides whether the first two rows may be a header; any later row
// from row 2 on with a single field cancels it.
void TextDataReader::takeHeaderRule(const TextDataReader& tail) {
  if (tail.row_ == 0) return;
  if (row_ == 0) header_ = tail.oneFieldCount_ > 0 && tail.oneFieldRows_[0] == 0;
  for (int k = 0; k < tail.oneFieldCount_; ++k)
    if (static_cast<std::int64_t>(row_) + tail.oneFieldRows_[k] >= 2) header_ = false;
  for (int k = 0; k < tail.oneFieldCount_ && oneFieldCount_ < 3; ++k)
    oneFieldRows_[oneFieldCount_++] = row_ + tail.oneFieldRows_[k];
}

bool TextDataReader::joinTail(TextDataReader& tail) {
  if (overLimit() || !tail.midText_ || tail.overLimit() || tail.offset_ != offset_ + bytesUsed_) return false;
  if (static_cast<std::int64_t>(row_) + tail.row_ > INT_MAX) return false;
  // The guard against runaway rows looks at the cells after each row; they
  // only grow, so if the final count stays within the allowance at the start
  // of the tail, no row of the tail could have tripped it.
  const std::int64_t cells = cellsAfterJoin(tail);
  if (cells > kCellsPerByte * static_cast<std::int64_t>(tail.offset_) + kCellAllowance) return false;
  if (sniffing_ && sniffingStopsIn(tail)) return false;

  if (sniffing_) takeSniffing(tail);
  takeHeaderRule(tail);
  for (std::size_t c = 0; c < tail.columnSize_.size(); ++c) {
    const std::int64_t added = tail.columnSize_[c];
    if (added == 0) continue;
    const int column = static_cast<int>(c);
    set_.AppendValues(column, row_, tail.set_.ColumnData(column), static_cast<int>(added));
    if (c >= columnSize_.size()) columnSize_.resize(c + 1, 0);
    columnSize_[c] = row_ + added;
  }
  cells_ = cells;
  set_.comment += tail.set_.comment;
  linesSkipped_ += tail.linesSkipped_;
  maxFields_ = std::max(maxFields_, tail.maxFields_);
  row_ += tail.row_;
  bytesUsed_ += tail.bytesUsed_;
  return true;
}

int TextDataReader::finish() {
  if (sniffing_) endSniffing();
  info_.binary = binary_;
  info_.linesSkipped = linesSkipped_;
  info_.fields = maxFields_;
  if (binary_ != BinarySign::None) return kIoBinary;
  if (overLimit_) return kIoTooLarge;
  // Two header lines: a single number in (0, 32766) on the first data row,
  // whose second row holds the x scale. Both steps do nothing on a set with
  // fewer than two columns.
  const double first = set_.GetValue(0, 0);
  if (header_ && first > 0.0 && first < 32766.0) {
    if (set_.ColumnCount() >= 2) {
      info_.twoLineHeader = true;
      info_.headerScale = set_.GetValue(0, 1);
    }
    set_.ApplyOperation(kOpMultiply, set_.GetValue(0, 1), kOpNone, 0.0);
    set_.DeletePoint(0);
    set_.DeletePoint(0);
  }
  // A single column holds y values; x becomes the point index.
  const int points = set_.PointCount(0);
  info_.singleColumn = maxFields_ == 1 && points > 0;
  if (maxFields_ == 1 && points > 0) {
    set_.Reserve(1, points);
    for (int i = 0; i < points; ++i) {
      set_.SetValue(1, i, set_.GetValue(0, i));
      set_.SetValue(0, i, i);
    }
  }
  set_.modified = false;
  return kIoOk;
}

int ReadTextData(Data_Set& set, std::string_view text, TextReadInfo* info) {
  try {
    TextDataReader reader(set);
    reader.expectBytes(text.size());
    reader.consume(text.data(), text.size(), true);
    const int status = reader.finish();
    if (info != nullptr) *info = reader.info();
    return status;
  } catch (const std::bad_alloc&) {
    return kIoTooLarge;
  }
}

}  // namespace zentrel
