#pragma once
// The "Options..." kind of Import Data and Multiple File Importing: the
// person confirms how a text file is read in the Import Options dialog,
// and each y column becomes a set of its own.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/data_import.h"
#include "io/import_options.h"
#include "model/data_set.h"
#include "util/progress.h"

namespace zentrel {

class CZentrelDoc;
class Ui;

// What asking for the options came to.
struct AskedImportOptions {
  std::optional<ImportOptions> options;  // confirmed; nothing on Cancel or failure
  std::string failure;                   // "Couldn't open file NAME: reason" when no file could be previewed
};

// Previews the first of `paths` whose first bytes can be read and are
// text, proposes options for it (remembered or detected:
// app/remembered_import.h), runs the Import Options dialog and remembers
// what the person confirmed.
AskedImportOptions AskImportOptions(CZentrelDoc& doc, Ui& ui, const std::vector<std::string>& paths);

// One file read with the options: a set per y column, or why not.
struct OptionsRead {
  ImportReport report;  // status, reason; points, columns and lines skipped on success
  std::vector<std::unique_ptr<Data_Set>> sets;
  std::vector<int> emptyYColumns;  // chosen y columns that gave no point, hence no set
};
OptionsRead ReadWithOptions(const std::string& path, const ImportOptions& options, const ProgressCallback& progress);

// The status line: ImportStatusText's, with "; N sets" when one file gave
// several and "; no points in column N" for a y column that gave none.
std::string OptionsReadStatus(const OptionsRead& read, std::string_view fileName);

}  // namespace zentrel
