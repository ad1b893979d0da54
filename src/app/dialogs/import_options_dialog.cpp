#include "app/dialogs/import_options_dialog.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/script/script_values.h"

namespace zentrel {

namespace {

template <typename Enum, std::size_t N>
FieldSetter Choice(Enum& target, const char* const (&names)[N]) {
  return [&target, &names](std::string_view value) -> std::optional<std::string> {
    for (std::size_t k = 0; k < N; ++k) {
      if (value == names[k]) {
        target = static_cast<Enum>(k);
        return std::nullopt;
      }
    }
    std::string expected = "expected ";
    for (std::size_t k = 0; k < N; ++k) expected += std::string(k == 0 ? "" : k + 1 == N ? " or " : ", ") + names[k];
    return expected;
  };
}

std::optional<int> ColumnNumber(std::string_view text) {
  const auto number = ParseInteger(text);
  if (!number || *number < 1 || *number > kMaxImportColumn) return std::nullopt;
  return static_cast<int>(*number);
}

// A column, or 0 for the word that stands for "no column" (`row`, `none`).
FieldSetter ColumnOr(int& target, const char* word) {
  return [&target, word](std::string_view value) -> std::optional<std::string> {
    if (value == word) {
      target = 0;
      return std::nullopt;
    }
    const auto column = ColumnNumber(value);
    if (!column) return std::string("expected a column number (from 1) or ") + word;
    target = *column;
    return std::nullopt;
  };
}

std::string ColumnOrText(int column, const char* word) { return column == 0 ? word : std::to_string(column); }

// The largest column the options read, 0 when they read none.
int LastChosenColumn(const ImportOptions& options) {
  int last = std::max({options.xColumn, options.yErrorColumn, options.xErrorColumn});
  for (int y : options.yColumns) last = std::max(last, y);
  return last;
}

}  // namespace

ImportOptionsDialogModel::ImportOptionsDialogModel(ImportOptions proposed, std::string head, std::string fileName)
    : options(std::move(proposed)), head_(std::move(head)), fileName_(std::move(fileName)) {}

std::vector<DialogField> ImportOptionsDialogModel::scriptFields() {
  return {
      {"delimiter", Choice(options.delimiter, kDelimiterNames)},
      {"decimal", Choice(options.decimal, kDecimalNames)},
      {"skip",
       [this](std::string_view value) -> std::optional<std::string> {
         const auto lines = ParseInteger(value);
         if (!lines || *lines < 0 || *lines > 1'000'000'000) return "expected a number of lines (0 or more)";
         options.skipLines = static_cast<int>(*lines);
         return std::nullopt;
       }},
      {"comment-char",
       [this](std::string_view value) -> std::optional<std::string> {
         if (value == "none" || value.empty()) {
           options.comment = 0;
           return std::nullopt;
         }
         // A blank would end the line's first field, a non-ASCII byte is
         // only part of a character.
         const unsigned char c = static_cast<unsigned char>(value.front());
         if (value.size() != 1 || c <= ' ' || c >= 0x7f) return "expected one printable ASCII character or none";
         options.comment = value.front();
         return std::nullopt;
       }},
      {"x-column", ColumnOr(options.xColumn, "row")},
      {"y-column",
       [this](std::string_view value) -> std::optional<std::string> {
         auto columns = ParseColumnList(value);
         if (!columns) return "expected column numbers (from 1), separated by commas";
         options.yColumns = std::move(*columns);
         return std::nullopt;
       }},
      {"yerr-column", ColumnOr(options.yErrorColumn, "none")},
      {"xerr-column", ColumnOr(options.xErrorColumn, "none")},
      {"header",
       [this](std::string_view value) -> std::optional<std::string> {
         if (value == "yes") {
           options.header = true;
         } else if (value == "no") {
           options.header = false;
         } else {
           return "expected yes or no";
         }
         return std::nullopt;
       }},
  };
}

std::optional<std::string> ImportOptionsDialogModel::validate() {
  if (auto problem = ValidateImportOptions(options)) return problem;
  // A column past the preview's would read nothing at all; the file's first
  // rows are what the person checked.
  const int columns = preview().columns;
  const int last = LastChosenColumn(options);
  if (columns > 0 && last > columns)
    return "column " + std::to_string(last) + " is beyond the " + std::to_string(columns) +
           (columns == 1 ? " column" : " columns") + " of the file's first rows";
  return std::nullopt;
}

const ImportPreview& ImportOptionsDialogModel::preview() {
  if (!previewedWith_ || !SameImportOptions(*previewedWith_, options)) {
    preview_ = PreviewImport(head_, options, kPreviewRows);
    previewedWith_ = options;
  }
  return preview_;
}

bool SameImportOptions(const ImportOptions& a, const ImportOptions& b) {
  return a.delimiter == b.delimiter && a.decimal == b.decimal && a.skipLines == b.skipLines &&
         a.comment == b.comment && a.xColumn == b.xColumn && a.yColumns == b.yColumns &&
         a.yErrorColumn == b.yErrorColumn && a.xErrorColumn == b.xErrorColumn && a.header == b.header;
}

std::optional<std::vector<int>> ParseColumnList(std::string_view text) {
  std::vector<int> columns;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const auto column = ColumnNumber(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (!column) return std::nullopt;
    columns.push_back(*column);
    if (comma == std::string_view::npos) return columns;
    start = comma + 1;
  }
}

std::string ColumnListText(const std::vector<int>& columns) {
  std::string text;
  for (int column : columns) text += (text.empty() ? "" : ",") + std::to_string(column);
  return text;
}

std::string ImportOptionsText(const ImportOptions& options) {
  const auto index = [](auto value) { return static_cast<std::size_t>(value); };
  return std::string("delimiter=") + kDelimiterNames[index(options.delimiter)] +
         " decimal=" + kDecimalNames[index(options.decimal)] + " skip=" + std::to_string(options.skipLines) +
         " comment-char=" + (options.comment == 0 ? std::string("none") : std::string(1, options.comment)) +
         " x-column=" + ColumnOrText(options.xColumn, "row") + " y-column=" + ColumnListText(options.yColumns) +
         " yerr-column=" + ColumnOrText(options.yErrorColumn, "none") +
         " xerr-column=" + ColumnOrText(options.xErrorColumn, "none") + " header=" + (options.header ? "yes" : "no");
}

std::optional<ImportOptions> ParseImportOptionsText(std::string_view text) {
  ImportOptionsDialogModel model(ImportOptions{}, std::string());
  const std::vector<DialogField> fields = model.scriptFields();
  // Nothing kept is nothing to propose, not the defaults.
  if (text.find_first_not_of(' ') == std::string_view::npos) return std::nullopt;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ' ') {
      ++at;
      continue;
    }
    const std::size_t end = std::min(text.find(' ', at), text.size());
    const std::string_view word = text.substr(at, end - at);
    at = end;
    const std::size_t equals = word.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const auto field = std::find_if(fields.begin(), fields.end(),
                                     [&](const DialogField& f) { return f.key == word.substr(0, equals); });
    if (field == fields.end() || field->set(word.substr(equals + 1))) return std::nullopt;
  }
  if (ValidateImportOptions(model.options)) return std::nullopt;
  return model.options;
}

}  // namespace zentrel
