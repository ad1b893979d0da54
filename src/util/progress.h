#pragma once
// How a long operation tells how far it got. The callback takes the fraction
// done (0 to 1) and answers false once the person asked to stop; the
// operation then ends without changing anything it was going to change.

#include <functional>

namespace zentrel {

using ProgressCallback = std::function<bool(double fraction)>;

// True to go on: nobody watching, or the watcher did not cancel.
inline bool ContinueAfter(const ProgressCallback& progress, double fraction) {
  return !progress || progress(fraction);
}

}  // namespace zentrel
