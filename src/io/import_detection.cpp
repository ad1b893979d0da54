// Proposing import options from the start of a file. Every pairing of a
// delimiter and a decimal mark reads the lines; the one that finds the most
// numbers in lines that are mostly numbers, all with the most common number
// of fields, wins. Before the first such line
// a line of names with as many fields is the header, and lines of any other
// kind (an instrument's "Key: value" lines) are skipped.

#include <algorithm>
#include <map>
#include <string_view>
#include <vector>

#include "io/delimited_fields.h"
#include "io/import_options.h"

namespace zentrel {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

struct Candidate {
  FieldDelimiter delimiter;
  DecimalMark decimal;
};

// Ties go to the earlier: a delimiter that must be present before runs of
// blanks, which are everywhere, and the decimal point before the comma.
constexpr Candidate kCandidates[] = {
  {FieldDelimiter::Tab, DecimalMark::Point},        {FieldDelimiter::Semicolon, DecimalMark::Point},
  {FieldDelimiter::Comma, DecimalMark::Point},      {FieldDelimiter::Whitespace, DecimalMark::Point},
  {FieldDelimiter::Tab, DecimalMark::Comma},        {FieldDelimiter::Semicolon, DecimalMark::Comma},
  {FieldDelimiter::Whitespace, DecimalMark::Comma},
};

// A physical line that is neither blank nor a comment.
struct Line {
  std::string_view text;
  int index = 0;  // among all physical lines, counting from 0
};

// How one line reads under one candidate.
struct Shape {
  int fields = 0;
  int nonEmpty = 0;
  int numeric = 0;
  std::vector<bool> isNumber;  // per field
  bool namesOnly = false;      // no number, nothing that looks like "Key: value"
};

Shape ShapeOf(std::string_view line, const FieldRules& rules) {
  Shape shape;
  shape.namesOnly = line.find('=') == std::string_view::npos;
  FieldCursor cursor(line.data(), line.data() + line.size(), rules, true);
  RawField field;
  while (cursor.next(field)) {
    ++shape.fields;
    const std::string text = FieldText(field);
    const bool number = TextNumber(text, rules.decimalComma).has_value();
    shape.isNumber.push_back(number);
    if (!text.empty()) ++shape.nonEmpty;
    if (number) ++shape.numeric;
    if (number || (!text.empty() && text.back() == ':')) shape.namesOnly = false;
  }
  return shape;
}

// Mostly numbers, and for a delimiter that must be present, at least two
// fields.
bool LooksLikeData(const Shape& shape, const FieldRules& rules) {
  if (shape.numeric == 0 || 2 * shape.numeric <= shape.nonEmpty) return false;
  return rules.delimiter == 0 || shape.fields >= 2;
}

// The most common field count of the lines that look like data, the larger
// on a tie; 0 without any. Lines of other counts (a "Range: 1 2" line among
// two-column data) do not count for a candidate.
int DataFields(const std::vector<Shape>& shapes, const FieldRules& rules) {
  std::map<int, int> counts;
  for (const Shape& shape : shapes)
    if (LooksLikeData(shape, rules)) ++counts[shape.fields];
  int fields = 0, most = 0;
  for (const auto& [count, lines] : counts) {
    if (lines >= most) {
      most = lines;
      fields = count;
    }
  }
  return fields;
}

std::vector<Line> LinesOf(std::string_view head, char& comment) {
  std::vector<std::string_view> all;
  const char* p = head.data();
  const char* const end = p + head.size();
  while (p < end) {
    const RecordScan line = ScanLine(p, end, true);
    all.emplace_back(p, static_cast<std::size_t>(line.end - p));
    p = line.next;
  }
  const auto anyStartsWith = [&](char c) {
    return std::any_of(all.begin(), all.end(), [c](std::string_view text) { return text.starts_with(c); });
  };
  // '%' is the program's own comment mark; '#' is common elsewhere.
  comment = !anyStartsWith('%') && anyStartsWith('#') ? '#' : '%';
  std::vector<Line> lines;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string_view text = all[i];
    if (text.starts_with(comment) || IsBlankRecord(text.data(), text.data() + text.size())) continue;
    lines.push_back({text, static_cast<int>(i)});
  }
  return lines;
}

}  // namespace

ImportOptions DetectImportOptions(std::string_view head) {
  ImportOptions options;
  if (head.starts_with(kUtf8Mark)) head.remove_prefix(kUtf8Mark.size());
  const std::vector<Line> lines = LinesOf(head, options.comment);

  int bestScore = 0;
  const Candidate* best = nullptr;
  for (const Candidate& candidate : kCandidates) {
    ImportOptions trial;
    trial.delimiter = candidate.delimiter;
    trial.decimal = candidate.decimal;
    const FieldRules rules = FieldRulesFor(trial);
    std::vector<Shape> shapes;
    for (const Line& line : lines) shapes.push_back(ShapeOf(line.text, rules));
    const int fields = DataFields(shapes, rules);
    int score = 0;
    for (const Shape& shape : shapes)
      if (shape.fields == fields && LooksLikeData(shape, rules)) score += 2 * shape.numeric - shape.nonEmpty;
    if (score > bestScore) {
      bestScore = score;
      best = &candidate;
    }
  }
  if (best == nullptr) return options;  // no numbers: the plain import's way
  options.delimiter = best->delimiter;
  options.decimal = best->decimal;
  const FieldRules rules = FieldRulesFor(options);

  std::vector<Shape> shapes;
  shapes.reserve(lines.size());
  for (const Line& line : lines) shapes.push_back(ShapeOf(line.text, rules));
  const int dataFields = DataFields(shapes, rules);
  std::size_t first = 0;
  while (first < shapes.size() && !(shapes[first].fields == dataFields && LooksLikeData(shapes[first], rules)))
    ++first;
  if (first == shapes.size()) return options;

  // Names just before the data, as many as the first data line has fields.
  std::size_t anchor = first;
  if (first > 0) {
    const Shape& before = shapes[first - 1];
    if (before.namesOnly && before.nonEmpty > 0 && before.fields == shapes[first].fields) {
      options.header = true;
      anchor = first - 1;
    }
  }
  // Whatever else comes before is skipped, up to its last line.
  options.skipLines = anchor > 0 ? lines[anchor - 1].index + 1 : 0;

  // x and y: the first two columns that hold numbers on most data lines.
  std::vector<int> numbers;
  int dataLines = 0;
  for (std::size_t i = first; i < shapes.size(); ++i) {
    if (!LooksLikeData(shapes[i], rules)) continue;
    ++dataLines;
    const std::vector<bool>& isNumber = shapes[i].isNumber;
    if (numbers.size() < isNumber.size()) numbers.resize(isNumber.size(), 0);
    for (std::size_t c = 0; c < isNumber.size(); ++c) numbers[c] += isNumber[c] ? 1 : 0;
  }
  std::vector<int> numericColumns;
  for (std::size_t c = 0; c < numbers.size(); ++c)
    if (2 * numbers[c] > dataLines) numericColumns.push_back(static_cast<int>(c) + 1);
  if (numericColumns.size() >= 2) {
    options.xColumn = numericColumns[0];
    options.yColumns = {numericColumns[1]};
  } else if (numericColumns.size() == 1) {
    options.xColumn = 0;
    options.yColumns = {numericColumns[0]};
  }
  return options;
}

}  // namespace zentrel
