#include "numeric/erfc.h"

#include <cmath>

namespace zentrel {

double Erfc(double a) {
  const double z = std::fabs(a);
  const double t = 1.0 / (1.0 + 0.5 * z);
  const double r =
      t * std::exp(-z * z - 1.26551223 +
                   t * (1.00002368 +
                        t * (0.37409196 +
                             t * (0.09678418 +
                                  t * (-0.18628806 +
                                       t * (0.27886807 +
                                            t * (-1.13520398 + t * (1.48851587 + t * (-0.82215223 + t * 0.17087277)))))))));
  return a >= 0 ? r : 2.0 - r;
}

double Erf(double a) { return 1.0 - Erfc(a); }

}  // namespace zentrel
