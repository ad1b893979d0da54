#include "io/delimited_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "io/io_status.h"
#include "io/text_sniff.h"
#include "model/data_set.h"

namespace zentrel {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

DelimitedReader::DelimitedReader(const ImportOptions& options, std::string_view fileName)
    : options_(options), rules_(FieldRulesFor(options)), fileName_(fileName) {
  linesToSkip_ = std::max(0, options.skipLines);
  headerPending_ = options.header;
  int highest = std::max({options.xColumn, options.yErrorColumn, options.xErrorColumn, 0});
  for (int column : options.yColumns) highest = std::max(highest, column);
  slotOfColumn_.assign(static_cast<std::size_t>(highest) + 1, -1);
  // Each chosen column is read once per line, however many roles it has.
  const auto slotFor = [this](int column) {
    if (column <= 0) return -1;
    int& slot = slotOfColumn_[static_cast<std::size_t>(column)];
    if (slot < 0) {
      slot = static_cast<int>(values_.size());
      values_.emplace_back();
    }
    return slot;
  };
  xSlot_ = slotFor(options.xColumn);
  for (int column : options.yColumns) {
    ySlots_.push_back(slotFor(column));
    sets_.push_back(std::make_unique<Data_Set>());
  }
  yErrorSlot_ = slotFor(options.yErrorColumn);
  xErrorSlot_ = slotFor(options.xErrorColumn);
  points_.assign(sets_.size(), 0);
}

DelimitedReader::~DelimitedReader() = default;

std::size_t DelimitedReader::consume(const char* data, std::size_t size, bool atEnd) {
  if (stopped()) return size;
  const std::string_view text(data, size);
  if (!sniffed_) {
    // Whether this is text at all is decided before anything is read.
    if (size <= kTextSniffBytes && !atEnd) return 0;
    sniffed_ = true;
    binary_ = SniffTextStart(text);
    if (stopped()) return size;
  }
  if (text.find('\0') != std::string_view::npos) {
    binary_ = BinarySign::NulBytes;
    return size;
  }
  const char* p = data;
  const char* const end = data + size;
  if (!started_) {
    started_ = true;
    if (text.starts_with(kUtf8Mark)) p += kUtf8Mark.size();
  }
  if (linesToSkip_ > 0) {
    p = skipLines(p, end, atEnd);
    if (linesToSkip_ > 0) return atEnd ? size : static_cast<std::size_t>(p - data);
  }
  while (p < end && !stopped()) {
    if (options_.comment != 0 && *p == options_.comment) {
      const char* next = commentLine(p, end, atEnd);
      if (next == nullptr) break;
      p = next;
      continue;
    }
    bool quotes = true;
    RecordScan scan = ScanRecord(p, end, rules_, true, atEnd);
    if (scan.kind == RecordScan::Kind::UnclosedQuote) {
      // A quote that never closes would swallow the rest of the file: it is
      // an ordinary character instead, and its line an ordinary line.
      quotes = false;
      scan = ScanRecord(p, end, rules_, false, atEnd);
    }
    if (scan.kind != RecordScan::Kind::Complete) break;
    record(p, scan.end, quotes);
    p = scan.next;
  }
  if (stopped()) return size;
  return static_cast<std::size_t>(p - data);
}

const char* DelimitedReader::skipLines(const char* p, const char* end, bool atEnd) {
  while (linesToSkip_ > 0 && p < end) {
    const RecordScan line = ScanLine(p, end, atEnd);
    if (line.kind != RecordScan::Kind::Complete) break;
    p = line.next;
    --linesToSkip_;
  }
  return p;
}

// Returns where the next line starts, or null until the line has ended.
const char* DelimitedReader::commentLine(const char* p, const char* end, bool atEnd) {
  const RecordScan line = ScanLine(p, end, atEnd);
  if (line.kind != RecordScan::Kind::Complete) return nullptr;
  comment_.append(p + 1, line.end);
  if (line.next != line.end) comment_ += "\r\n";
  return line.next;
}

void DelimitedReader::record(const char* first, const char* last, bool quotes) {
  if (IsBlankRecord(first, last)) return;
  if (headerPending_) {
    headerPending_ = false;
    headerRecord(first, last, quotes);
  } else {
    dataRecord(first, last, quotes);
  }
}

void DelimitedReader::headerRecord(const char* first, const char* last, bool quotes) {
  FieldCursor cursor(first, last, rules_, quotes);
  RawField field;
  std::string listed = "columns: ";
  while (cursor.next(field)) {
    if (!info_.columnNames.empty()) listed += ", ";
    info_.columnNames.push_back(FieldText(field));
    listed += info_.columnNames.back();
  }
  comment_ += listed + "\r\n";
}

void DelimitedReader::dataRecord(const char* first, const char* last, bool quotes) {
  std::fill(values_.begin(), values_.end(), std::nullopt);
  FieldCursor cursor(first, last, rules_, quotes);
  RawField field;
  int columns = 0;
  const auto highest = static_cast<int>(slotOfColumn_.size()) - 1;
  while (cursor.next(field)) {
    ++columns;
    if (columns > highest) continue;
    const int slot = slotOfColumn_[static_cast<std::size_t>(columns)];
    if (slot >= 0) values_[static_cast<std::size_t>(slot)] = FieldNumber(field, rules_.decimalComma);
  }
  const auto valueIn = [this](int slot) -> const std::optional<double>& {
    return values_[static_cast<std::size_t>(slot)];
  };
  const bool hasX = xSlot_ < 0 || valueIn(xSlot_).has_value();
  const bool hasY = std::any_of(ySlots_.begin(), ySlots_.end(), [&](int slot) { return valueIn(slot).has_value(); });
  if (!hasX || !hasY) {
    ++info_.linesSkipped;
    return;
  }
  if (info_.dataLines == INT_MAX) {
    tooLarge_ = true;  // a set holds at most INT_MAX points
    return;
  }
  const double x = xSlot_ < 0 ? static_cast<double>(info_.dataLines) : *valueIn(xSlot_);
  ++info_.dataLines;
  info_.columns = std::max(info_.columns, columns);
  for (std::size_t k = 0; k < sets_.size(); ++k) {
    const std::optional<double>& y = valueIn(ySlots_[k]);
    if (!y) continue;
    Data_Set& set = *sets_[k];
    const int i = points_[k]++;
    set.SetValue(0, i, x);
    set.SetValue(1, i, *y);
    // A missing error reads 0, as an unset cell does.
    if (yErrorSlot_ >= 0) set.SetValue(2, i, valueIn(yErrorSlot_).value_or(0.0));
    if (xErrorSlot_ >= 0) set.SetValue(3, i, valueIn(xErrorSlot_).value_or(0.0));
  }
}

int DelimitedReader::finish(std::vector<std::unique_ptr<Data_Set>>& sets) {
  if (binary_ != BinarySign::None) return kIoBinary;
  if (tooLarge_) return kIoTooLarge;
  info_.emptyYColumns.clear();
  const bool several = sets_.size() > 1;
  std::vector<std::unique_ptr<Data_Set>> read;
  for (std::size_t k = 0; k < sets_.size(); ++k) {
    const int column = options_.yColumns[k];
    if (points_[k] == 0) {
      info_.emptyYColumns.push_back(column);
      continue;
    }
    Data_Set& set = *sets_[k];
    const auto index = static_cast<std::size_t>(column) - 1;
    const std::string heading = index < info_.columnNames.size() ? info_.columnNames[index] : std::string();
    set.name = fileName_;
    if (!heading.empty()) {
      set.name += ": " + heading;
    } else if (several) {
      set.name += ": column " + std::to_string(column);
    }
    set.comment = comment_;
    set.modified = false;
    read.push_back(std::move(sets_[k]));
  }
  sets_.clear();
  if (read.empty()) return kIoNoPoints;
  for (auto& set : read) sets.push_back(std::move(set));
  return kIoOk;
}

}  // namespace zentrel
