#pragma once
// What the family records share: the checked math functions, parameter
// naming, and joining terms into an equation text.

#include <cmath>
#include <string>

#include "fit/model_family.h"
#include "fit/model_math.h"
#include "numeric/c_format.h"

namespace zentrel::family {

using fitmath::Erfc;
using fitmath::Exp;
using fitmath::Log;
using fitmath::Pow;

inline const double kSqrt2 = std::sqrt(2.0);
inline const double kSqrt2OverPi = std::sqrt(2.0 / M_PI);

inline std::string Numbered(const char* stem, int k) { return stem + std::to_string(k); }

// Names cycling through stems per term after y0 and x0 ("a0", "t0", "b0", "a1", …).
template <size_t N>
std::string CycleName(const char* const (&stems)[N], int index) {
  return Numbered(stems[static_cast<size_t>(index - 2) % N], (index - 2) / static_cast<int>(N));
}

inline double P(const Fit& fit, int i) { return fit.params[static_cast<size_t>(i)]; }

// The order's terms joined by "+".
template <class Term>
std::string JoinTerms(int terms, Term term) {
  std::string text;
  for (int k = 0; k < terms; ++k) {
    if (k > 0) text += "+";
    text += term(k);
  }
  return text;
}

// The starting step of a numerical derivative with respect to p[index].
inline double RiddersStep(const double* p, int index) { return p[index] != 0 ? p[index] : 1e-15; }

}  // namespace zentrel::family
