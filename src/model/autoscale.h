#pragma once

namespace zentrel {

class CZentrelDoc;

// Fits the visible range to the finite values of the active sets (5%
// margins on linear axes, smallest positive value on logarithmic ones);
// NaN and infinities are passed over, so the range is always finite. Clears
// the selection and remembers the old range for Unzoom. Does not redraw.
void Autoscale(CZentrelDoc& doc);

}  // namespace zentrel
