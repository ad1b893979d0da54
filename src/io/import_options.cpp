#include "io/import_options.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "io/delimited_fields.h"
#include "io/delimited_reader.h"
#include "io/io_status.h"
#include "model/data_set.h"

namespace zentrel {

namespace {

constexpr std::size_t kFileBlock = std::size_t{1} << 20;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::optional<std::string> CheckColumn(int column, bool mayBeNone) {
  if (column < 0 || (column == 0 && !mayBeNone)) return "column " + std::to_string(column) + " is not a column";
  if (column > kMaxImportColumn)
    return "column " + std::to_string(column) + " is past the last column read (" +
           std::to_string(kMaxImportColumn) + ")";
  return std::nullopt;
}

std::string Lines(int count) { return std::to_string(count) + (count == 1 ? " line" : " lines"); }

std::string FailureText(int status, const DelimitedReader& reader, OpenError openError) {
  switch (status) {
    case kIoCannotOpen: return openError != OpenError::None ? OpenErrorText(openError) : "read error";
    case kIoBinary: return BinarySignText(reader.binary());
    case kIoTooLarge: return "too large";
    case kIoNoPoints:
      if (reader.info().linesSkipped > 0) return "no data lines (" + Lines(reader.info().linesSkipped) + " skipped)";
      return "no data points";
    default: return {};
  }
}

}  // namespace

std::optional<std::string> ValidateImportOptions(const ImportOptions& options) {
  if (options.skipLines < 0) return "lines to skip cannot be fewer than 0";
  if (options.yColumns.empty()) return "y column must be given";
  for (int column : options.yColumns)
    if (auto problem = CheckColumn(column, false)) return problem;
  for (int column : {options.xColumn, options.yErrorColumn, options.xErrorColumn})
    if (auto problem = CheckColumn(column, true)) return problem;
  std::vector<int> sorted = options.yColumns;
  std::sort(sorted.begin(), sorted.end());
  const auto twice = std::adjacent_find(sorted.begin(), sorted.end());
  if (twice != sorted.end()) return "y column " + std::to_string(*twice) + " is chosen twice";
  if (options.delimiter == FieldDelimiter::Comma && options.decimal == DecimalMark::Comma)
    return "the comma cannot both part the fields and mark the decimals";
  const char c = options.comment;
  if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')
    return std::string("comment character '") + c + "' starts numbers";
  if (c == '"' || c == ' ' || c == '\t' || c == '\r' || c == '\n')
    return "comment character cannot be a quote, a blank or a line end";
  return std::nullopt;
}

ImportPreview PreviewImport(std::string_view head, const ImportOptions& options, int rows) {
  ImportPreview preview;
  const FieldRules rules = FieldRulesFor(options);
  if (head.starts_with(kUtf8Mark)) head.remove_prefix(kUtf8Mark.size());
  const char* p = head.data();
  const char* const end = p + head.size();
  for (int skipped = 0; skipped < options.skipLines && p < end; ++skipped) p = ScanLine(p, end, true).next;
  bool headerPending = options.header;
  while (p < end && static_cast<int>(preview.fields.size()) < rows) {
    if (options.comment != 0 && *p == options.comment) {
      p = ScanLine(p, end, true).next;
      continue;
    }
    bool quotes = true;
    RecordScan scan = ScanRecord(p, end, rules, true, true);
    if (scan.kind != RecordScan::Kind::Complete) {
      quotes = false;
      scan = ScanRecord(p, end, rules, false, true);
    }
    const char* first = p;
    p = scan.next;
    if (IsBlankRecord(first, scan.end)) continue;
    std::vector<std::string> texts;
    std::vector<std::optional<double>> values;
    FieldCursor cursor(first, scan.end, rules, quotes);
    RawField field;
    while (cursor.next(field)) {
      texts.push_back(FieldText(field));
      values.push_back(FieldNumber(field, rules.decimalComma));
    }
    preview.columns = std::max(preview.columns, static_cast<int>(texts.size()));
    if (headerPending) {
      headerPending = false;
      preview.columnNames = std::move(texts);
      continue;
    }
    preview.fields.push_back(std::move(texts));
    preview.values.push_back(std::move(values));
  }
  return preview;
}

int ReadDelimitedText(std::vector<std::unique_ptr<Data_Set>>& sets, std::string_view text,
                      std::string_view fileName, const ImportOptions& options, DelimitedReadInfo* info) {
  if (ValidateImportOptions(options)) return kIoBadFormat;
  try {
    DelimitedReader reader(options, fileName);
    reader.consume(text.data(), text.size(), true);
    const int status = reader.finish(sets);
    if (info != nullptr) *info = reader.info();
    return status;
  } catch (const std::bad_alloc&) {
    return kIoTooLarge;
  }
}

int ReadDelimitedFile(std::vector<std::unique_ptr<Data_Set>>& sets, const std::string& path,
                      const ImportOptions& options, const ProgressCallback& progress, DelimitedReadInfo* info,
                      std::string* why) {
  const auto say = [why](std::string text) {
    if (why != nullptr) *why = std::move(text);
  };
  if (auto problem = ValidateImportOptions(options)) {
    say(*problem);
    return kIoBadFormat;
  }
  OpenError openError = OpenError::None;
  auto file = InputFile::Open(path, &openError);
  if (!file) {
    say(OpenErrorText(openError));
    return kIoCannotOpen;
  }
  std::string_view fileName = path;
  if (const std::size_t slash = fileName.find_last_of('/'); slash != std::string_view::npos)
    fileName.remove_prefix(slash + 1);
  try {
    DelimitedReader reader(options, fileName);
    const std::uint64_t total = file->size();
    std::uint64_t read = 0;
    std::vector<char> buffer(kFileBlock);
    std::size_t filled = 0;
    bool atEnd = false;
    while (true) {
      if (!atEnd) {
        const std::ptrdiff_t n = file->read(buffer.data() + filled, buffer.size() - filled);
        if (n < 0) {
          say("read error");
          return kIoCannotOpen;
        }
        if (n == 0) atEnd = true;
        filled += static_cast<std::size_t>(n);
        read += static_cast<std::uint64_t>(n);
        const double done = total > 0 ? static_cast<double>(read) / static_cast<double>(total) : 1.0;
        if (!ContinueAfter(progress, std::min(done, 1.0))) return kIoCancelled;
      }
      const std::size_t used = reader.consume(buffer.data(), filled, atEnd);
      if (reader.stopped() || atEnd) break;
      std::memmove(buffer.data(), buffer.data() + used, filled - used);
      filled -= used;
      // A record longer than the buffer (a quoted field across many lines):
      // the buffer doubles, so the record is scanned again only a few times.
      if (filled == buffer.size()) buffer.resize(buffer.size() * 2);
    }
    const int status = reader.finish(sets);
    if (info != nullptr) *info = reader.info();
    if (status != kIoOk) say(FailureText(status, reader, OpenError::None));
    return status;
  } catch (const std::bad_alloc&) {
    say("too large");
    return kIoTooLarge;
  }
}

std::optional<std::string> ReadFileHead(const std::string& path, std::size_t limit, OpenError* error) {
  auto file = InputFile::Open(path, error);
  if (!file) return std::nullopt;
  std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(limit, file->size())), '\0');
  std::size_t filled = 0;
  while (filled < head.size()) {
    const std::ptrdiff_t n = file->read(head.data() + filled, head.size() - filled);
    if (n < 0) {
      if (error != nullptr) *error = OpenError::Unreadable;
      return std::nullopt;
    }
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  head.resize(filled);
  return head;
}

}  // namespace zentrel
