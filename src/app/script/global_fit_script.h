#pragma once
// The `global-fit` script line: the Global Fit dialog driven by keys.
//
//   global-fit sets=0,1,2 model="Exponential" order=2 shared=t0,t1 hold=x0
//              [aN=V] [guess] [iterate [N]] [print]
//
// sets, shared and hold take set indices and parameter names (as the
// dialog's rows show them) or indices; hold holds exactly the listed
// parameters. aN=V sets row N's value in every set. `iterate` runs until
// the joint fit converges, `iterate N` at most N trials.

#include <iosfwd>
#include <string>

namespace zentrel {

class CZentrelDoc;
class ScriptUi;
struct ScriptLine;

// An error message, empty on success. Message boxes are printed to `out`
// as "message: TEXT".
std::string RunGlobalFitLine(CZentrelDoc& doc, ScriptUi& ui, const ScriptLine& line, std::ostream& out);

}  // namespace zentrel
