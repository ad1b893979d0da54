#pragma once
// Script lines for fitting: `fit-dialog` edits the Fitting dialog the way a
// person would, `iterate N` runs N idle passes of fit iteration.

#include <iosfwd>
#include <string>

namespace zentrel {

class CZentrelDoc;
class ScriptUi;
struct ScriptLine;

// Each returns an error message, empty on success. Message boxes shown on
// the way are printed to `out` as "message: TEXT".
std::string RunFitDialogLine(CZentrelDoc& doc, ScriptUi& ui, const ScriptLine& line, std::ostream& out);
std::string RunIterateLine(CZentrelDoc& doc, ScriptUi& ui, const ScriptLine& line, std::ostream& out);

}  // namespace zentrel
