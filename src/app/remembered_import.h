#pragma once
// The options of the last confirmed "Options..." import, kept for the
// session in the document (New and Open keep them) and proposed for the
// next import when they suit its file. The desktop program also keeps them
// between runs in its settings, as ImportOptionsText.

#include <optional>
#include <string_view>

#include "io/import_options.h"

namespace zentrel {

class CZentrelDoc;

// Nothing before the first confirmed import (and nothing kept from a run
// before).
std::optional<ImportOptions> RememberedImportOptions(const CZentrelDoc& doc);
void RememberImportOptions(CZentrelDoc& doc, const ImportOptions& options);

// Whether `options` read this file's first rows: in most rows that hold a
// number, every chosen column holds one, and a header line (when asked for)
// is not itself such a row.
bool OptionsSuitFile(std::string_view head, const ImportOptions& options);

// What the Import Options dialog opens with for a file whose first bytes are
// `head`:
// - the remembered options, when they suit the file; whether a line of
//   names comes first is then taken from detection when both skip the same
//   lines (it is a fact of the file, and a remembered "yes" would drop a
//   data line of a file without names);
// - else the detected layout (delimiter, decimal mark, lines to skip,
//   header) with the remembered columns and comment character, when those
//   suit the file;
// - else what detection proposes.
ImportOptions ProposeImportOptions(std::string_view head, const std::optional<ImportOptions>& remembered);

}  // namespace zentrel
