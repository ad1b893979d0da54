#include "app/remembered_import.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/script/script_values.h"
#include "model/document.h"

namespace zentrel {

namespace {

struct Remembered : DocumentCompanion {
  ImportOptions options;
};

// The chosen columns, counting from 1 (the row number is none).
std::vector<int> ChosenColumns(const ImportOptions& options) {
  std::vector<int> columns = options.yColumns;
  for (int column : {options.xColumn, options.yErrorColumn, options.xErrorColumn})
    if (column > 0) columns.push_back(column);
  return columns;
}

bool HoldsNumbers(const std::vector<std::optional<double>>& row, const std::vector<int>& columns) {
  return std::all_of(columns.begin(), columns.end(), [&](int column) {
    const auto at = static_cast<std::size_t>(column - 1);
    return at < row.size() && row[at].has_value();
  });
}

bool LooksLikeNumber(std::string text, DecimalMark decimal) {
  if (decimal == DecimalMark::Comma) std::replace(text.begin(), text.end(), ',', '.');
  return ParseDouble(text).has_value();
}

// A "header" whose every chosen name is a number is the first data line.
bool HeaderIsData(const ImportPreview& preview, const ImportOptions& options, const std::vector<int>& columns) {
  if (preview.columnNames.empty()) return false;
  return std::all_of(columns.begin(), columns.end(), [&](int column) {
    const auto at = static_cast<std::size_t>(column - 1);
    return at < preview.columnNames.size() && LooksLikeNumber(preview.columnNames[at], options.decimal);
  });
}

}  // namespace

std::optional<ImportOptions> RememberedImportOptions(const CZentrelDoc& doc) {
  if (!doc.rememberedImport) return std::nullopt;
  return static_cast<const Remembered&>(*doc.rememberedImport).options;
}

void RememberImportOptions(CZentrelDoc& doc, const ImportOptions& options) {
  auto remembered = std::make_unique<Remembered>();
  remembered->options = options;
  doc.rememberedImport = std::move(remembered);
}

bool OptionsSuitFile(std::string_view head, const ImportOptions& options) {
  if (ValidateImportOptions(options)) return false;
  const ImportPreview preview = PreviewImport(head, options);
  const std::vector<int> columns = ChosenColumns(options);
  if (options.header && HeaderIsData(preview, options, columns)) return false;
  int numeric = 0, complete = 0;
  for (const auto& row : preview.values) {
    if (std::none_of(row.begin(), row.end(), [](const auto& value) { return value.has_value(); })) continue;
    ++numeric;
    if (HoldsNumbers(row, columns)) ++complete;
  }
  return complete > 0 && 2 * complete >= numeric;
}

ImportOptions ProposeImportOptions(std::string_view head, const std::optional<ImportOptions>& remembered) {
  const ImportOptions detected = DetectImportOptions(head);
  if (!remembered) return detected;
  ImportOptions proposal = *remembered;
  if (proposal.skipLines == detected.skipLines) proposal.header = detected.header;
  if (OptionsSuitFile(head, proposal)) return proposal;
  proposal = detected;
  proposal.xColumn = remembered->xColumn;
  proposal.yColumns = remembered->yColumns;
  proposal.yErrorColumn = remembered->yErrorColumn;
  proposal.xErrorColumn = remembered->xErrorColumn;
  proposal.comment = remembered->comment;
  if (OptionsSuitFile(head, proposal)) return proposal;
  return detected;
}

}  // namespace zentrel
