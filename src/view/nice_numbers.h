#pragma once
// Rounding of ranges to tick-friendly values, and the engineering prefix
// letters of tick labels.

namespace zentrel {

// The next "nice" value k * 10^e above (NiceCeil) or below (NiceFloor) v,
// k one of 0.2, 0.25, 0.5, 0.75, 1, 1.5, 2. Infinite and NaN values are
// returned unchanged.
double NiceCeil(double v);
double NiceFloor(double v);

// Exponent of the prefix for a tick spacing s (15, 9, 6, 3, 0, -3 ... -15;
// there is no 12) and its letter; any other exponent gives a blank.
int AbbreviationExponent(double s);
char AbbreviationLetter(int exponent);

}  // namespace zentrel
