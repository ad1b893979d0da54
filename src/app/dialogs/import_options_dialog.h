#pragma once
// Dialog "Import Options": how a delimited text file is read (delimiter,
// decimal mark, lines to skip, comment character, which columns are x, y,
// y error and x error, and whether a line of column names comes first),
// with a preview of the first rows as they will be read that follows every
// change.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialogs/dialog_model.h"
#include "io/import_options.h"

namespace zentrel {

class ImportOptionsDialogModel : public DialogModel {
 public:
  // Rows the preview shows.
  static constexpr int kPreviewRows = 20;

  // `proposed`: what the dialog opens with; `head`: the first bytes of the
  // file (the preview reads them); `fileName`: the file's bare name.
  ImportOptionsDialogModel(ImportOptions proposed, std::string head, std::string fileName = {});

  std::string title() const override { return "Import Options"; }
  // delimiter=auto|whitespace|comma|semicolon|tab, decimal=point|comma,
  // skip=N, comment-char=C|none, x-column=N|row, y-column=N or N,M,...,
  // yerr-column=N|none, xerr-column=N|none, header=yes|no.
  std::vector<DialogField> scriptFields() override;
  // The options must be usable, and every chosen column must be one the
  // preview's rows hold (when they hold any).
  std::optional<std::string> validate() override;

  // The first rows as `options` read them now; made again only when the
  // options changed since the last call.
  const ImportPreview& preview();

  const std::string& fileName() const { return fileName_; }

  ImportOptions options;

 private:
  std::string head_;
  std::string fileName_;
  ImportPreview preview_;
  std::optional<ImportOptions> previewedWith_;
};

// Script names of the choices, in the order of the enums.
inline constexpr const char* kDelimiterNames[] = {"auto", "whitespace", "comma", "semicolon", "tab"};
inline constexpr const char* kDecimalNames[] = {"point", "comma"};

bool SameImportOptions(const ImportOptions& a, const ImportOptions& b);

// "2", "2,3,4": column numbers from 1; nothing for anything else.
std::optional<std::vector<int>> ParseColumnList(std::string_view text);
std::string ColumnListText(const std::vector<int>& columns);

// The options as the script keys write them ("delimiter=semicolon
// decimal=comma skip=0 ..."), and back: the remembered options are kept in
// this form between runs. Parsing starts from the defaults; nothing when a
// key or value is not understood.
std::string ImportOptionsText(const ImportOptions& options);
std::optional<ImportOptions> ParseImportOptionsText(std::string_view text);

}  // namespace zentrel
