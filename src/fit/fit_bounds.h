#pragma once
// Optional bounds on a fit's parameters: each parameter may have an
// interval lower..upper that the engine keeps it inside. A parameter
// without bounds has -inf..+inf, so a fit nobody bounded runs exactly as
// it always has.

#include <string>

namespace zentrel {

class Fit;

// Where a value sits in its interval.
enum class BoundSide { kInside, kLower, kUpper };

// Whether any parameter slot has a finite bound (the graph file stores the
// bounds of such a fit).
bool HasBounds(const Fit& fit);
// Whether parameter `index` has a finite bound.
bool IsBounded(const Fit& fit, int index);
// Whether a free parameter of the fit's count has a finite bound: only
// then does the engine take its bounded path.
bool HasActiveBounds(const Fit& fit);

// Why lower..upper is no interval (a NaN, lower > upper, an infinity on the
// wrong side); empty when it is one.
std::string BoundsProblem(double lower, double upper);
// Sets the interval of parameter `index` and moves its value inside. The
// problem (BoundsProblem, or an index beyond the slots) leaves the fit as
// it was. A change restarts the engine.
std::string SetBounds(Fit& fit, int index, double lower, double upper);
// Removes every bound.
void ClearBounds(Fit& fit);

// `value` moved to the nearest end of parameter `index`'s interval when
// outside it.
double ClampToBounds(const Fit& fit, int index, double value);
// Moves every parameter value that lies outside its interval to the nearer
// end; true when one moved.
bool MoveInsideBounds(Fit& fit);

// Whether parameter `index`'s value lies on (or beyond) one of its finite
// bounds. A lower..upper of zero width reports kLower.
BoundSide BoundHit(const Fit& fit, int index);
// "at lower bound", "at upper bound", or empty.
const char* BoundHitText(BoundSide side);

}  // namespace zentrel
