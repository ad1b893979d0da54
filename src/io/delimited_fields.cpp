#include "io/delimited_fields.h"

#include <cstring>

#include "io/number_scan_inline.h"

namespace zentrel {

namespace {

bool IsSeparator(char c, const FieldRules& rules) {
  if (rules.delimiter != 0) return c == rules.delimiter;
  return IsBlank(c) || (rules.commaToo && c == ',');
}

// Blanks before a field, unless a blank is itself the delimiter.
const char* SkipLeadingBlanks(const char* p, const char* last, const FieldRules& rules) {
  while (p < last && IsBlank(*p) && *p != rules.delimiter) ++p;
  return p;
}

// The quote that closes the field whose opening quote is at `open`, or null
// when none does before `last`. A quote just before `last` counts as
// closing; whether a second quote follows it is the caller's question.
const char* ClosingQuote(const char* open, const char* last) {
  const char* p = open + 1;
  while (p < last) {
    p = static_cast<const char*>(std::memchr(p, '"', static_cast<std::size_t>(last - p)));
    if (p == nullptr) return nullptr;
    if (p + 1 < last && p[1] == '"') {
      p += 2;
      continue;
    }
    return p;
  }
  return nullptr;
}

// The first CR or LF in [first, last), or null.
const char* FindLineEnd(const char* first, const char* last) {
  const auto size = static_cast<std::size_t>(last - first);
  const auto* lf = static_cast<const char*>(std::memchr(first, '\n', size));
  const std::size_t before = lf != nullptr ? static_cast<std::size_t>(lf - first) : size;
  const auto* cr = static_cast<const char*>(std::memchr(first, '\r', before));
  return cr != nullptr ? cr : lf;
}

// The record that ends at `end`, a line end or `last`.
RecordScan EndAt(const char* end, const char* last, bool atEnd) {
  RecordScan scan;
  if (end == last) {
    if (!atEnd) return scan;
    scan.kind = RecordScan::Kind::Complete;
    scan.end = scan.next = last;
    return scan;
  }
  const char* next = end + 1;
  if (*end == '\r') {
    // Whether an LF follows decides where the next record starts.
    if (next == last && !atEnd) return scan;
    if (next < last && *next == '\n') ++next;
  }
  scan.kind = RecordScan::Kind::Complete;
  scan.end = end;
  scan.next = next;
  return scan;
}

std::string_view Trimmed(const char* first, const char* last) {
  while (first < last && IsBlank(*first)) ++first;
  while (last > first && IsBlank(last[-1])) --last;
  return {first, static_cast<std::size_t>(last - first)};
}

std::optional<double> ScanWhole(const char* first, const char* last) {
  const ScannedNumber number = scan_detail::ScanNumberInline(first, last, last);
  if (!number.ok || number.end != last) return std::nullopt;
  return number.value;
}

}  // namespace

FieldRules FieldRulesFor(const ImportOptions& options) {
  FieldRules rules;
  rules.decimalComma = options.decimal == DecimalMark::Comma;
  switch (options.delimiter) {
    case FieldDelimiter::Auto: rules.commaToo = !rules.decimalComma; break;
    case FieldDelimiter::Whitespace: break;
    case FieldDelimiter::Comma: rules.delimiter = ','; break;
    case FieldDelimiter::Semicolon: rules.delimiter = ';'; break;
    case FieldDelimiter::Tab: rules.delimiter = '\t'; break;
  }
  return rules;
}

RecordScan ScanLine(const char* first, const char* last, bool atEnd) {
  const char* end = FindLineEnd(first, last);
  return EndAt(end != nullptr ? end : last, last, atEnd);
}

RecordScan ScanRecord(const char* first, const char* last, const FieldRules& rules, bool quotes, bool atEnd) {
  const char* lineEnd = FindLineEnd(first, last);
  const char* stop = lineEnd != nullptr ? lineEnd : last;
  // Most lines hold no quote at all: the line is the record.
  if (!quotes || std::memchr(first, '"', static_cast<std::size_t>(stop - first)) == nullptr)
    return EndAt(stop, last, atEnd);
  const char* p = first;
  while (true) {
    p = SkipLeadingBlanks(p, last, rules);
    if (p < last && *p == '"') {
      const char* closing = ClosingQuote(p, last);
      if (closing == nullptr) {
        RecordScan open;
        if (atEnd) open.kind = RecordScan::Kind::UnclosedQuote;
        return open;
      }
      // A quote at the very end may be the first of a doubled pair.
      if (closing + 1 == last && !atEnd) return {};
      p = closing + 1;
    }
    while (p < last && !IsSeparator(*p, rules) && !IsLineEnd(*p)) ++p;
    if (p == last || IsLineEnd(*p)) break;
    ++p;
  }
  return EndAt(p, last, atEnd);
}

bool FieldCursor::next(RawField& field) {
  if (done_) return false;
  const char* p = SkipLeadingBlanks(p_, last_, rules_);
  if (rules_.delimiter == 0) {
    while (p < last_ && IsSeparator(*p, rules_)) ++p;
    if (p == last_) {
      done_ = true;
      return false;
    }
  }
  field.first = p;
  field.quoted = quotes_ && p < last_ && *p == '"';
  if (field.quoted) {
    const char* closing = ClosingQuote(p, last_);
    p = closing != nullptr ? closing + 1 : last_;
  }
  while (p < last_ && !IsSeparator(*p, rules_)) ++p;
  field.last = p;
  if (p == last_) {
    done_ = true;
  } else {
    p_ = p + 1;
  }
  return true;
}

std::string FieldText(const RawField& field) {
  if (!field.quoted) return std::string(Trimmed(field.first, field.last));
  std::string text;
  const char* closing = ClosingQuote(field.first, field.last);
  const char* contentEnd = closing != nullptr ? closing : field.last;
  for (const char* p = field.first + 1; p < contentEnd; ++p) {
    text += *p;
    if (*p == '"') ++p;  // the second of a doubled quote
  }
  if (closing != nullptr) {
    // Text after the closing quote, as it stands.
    const char* rest = closing + 1;
    const char* restEnd = field.last;
    while (restEnd > rest && IsBlank(restEnd[-1])) --restEnd;
    text.append(rest, restEnd);
  }
  return text;
}

std::optional<double> TextNumber(std::string_view text, bool decimalComma) {
  const std::string_view number = Trimmed(text.data(), text.data() + text.size());
  if (number.empty()) return std::nullopt;
  if (!decimalComma) return ScanWhole(number.data(), number.data() + number.size());
  if (number.find('.') != std::string_view::npos) return std::nullopt;
  std::string pointed(number);
  for (char& c : pointed)
    if (c == ',') c = '.';
  return ScanWhole(pointed.data(), pointed.data() + pointed.size());
}

std::optional<double> FieldNumber(const RawField& field, bool decimalComma) {
  if (field.quoted) return TextNumber(FieldText(field), decimalComma);
  return TextNumber(std::string_view(field.first, static_cast<std::size_t>(field.last - field.first)),
                    decimalComma);
}

bool IsBlankRecord(const char* first, const char* last) {
  for (; first < last; ++first)
    if (!IsBlank(*first)) return false;
  return true;
}

}  // namespace zentrel
