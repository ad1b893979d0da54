#pragma once
// Ticks of the paper style: majors at round values (1, 2 or 5 times a power
// of ten, or decades on a logarithmic axis), minors between them, and
// labels that state each major exactly with the fewest digits that tell
// neighbours apart.

#include <string>
#include <vector>

namespace zentrel {

// A label as drawn: the text and, when not empty, a raised exponent after
// it ("10" with "-3" raised reads 10^-3).
struct TickLabel {
  std::string text;
  std::string superscript;
  friend bool operator==(const TickLabel&, const TickLabel&) = default;
};

struct AxisTicks {
  std::vector<double> major;
  std::vector<TickLabel> labels;  // one per major
  std::vector<double> minor;
  // Not 0: labels are the values divided by 10^powerOfTen, and the axis
  // label says "x10^powerOfTen".
  int powerOfTen = 0;
};

// The smallest step 1, 2 or 5 x 10^k that cuts span into at most maxSteps
// steps; 0 for a span that is not finite and positive.
double RoundStep(double span, int maxSteps);

// Majors at the multiples of RoundStep(hi - lo, maxTicks) inside [lo, hi]
// (the ends included within rounding). With factorPowers, values of 10^4
// and above or below 10^-2 are labelled in units of a power of ten that is
// a multiple of three.
AxisTicks LinearTicks(double lo, double hi, int maxTicks, bool factorPowers);

// Majors at decades (every second, fifth... decade when more than maxTicks
// would fit), minors at 2..9 times each decade; ranges of less than two
// decades take 1-2-5 values, then linear ticks. lo must be positive.
AxisTicks LogTicks(double lo, double hi, int maxTicks);

}  // namespace zentrel
