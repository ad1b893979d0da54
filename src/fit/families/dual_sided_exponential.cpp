// Dual-sided exponential: a_k exp(-u/tf_k) for u >= 0, a_k exp(u/tr_k)
// before, u = x - x0. Numerical derivatives.

#include "fit/families/family_helpers.h"

namespace zentrel::family {

namespace {

int Count(int order, int) { return 3 * order + 2; }

std::string Name(int index) {
  static const char* const stems[] = {"a", "tf", "tr"};
  return CycleName(stems, index);
}

double Value(ModelScope& scope, double u, const double* p) {
  double sum = 0;
  for (int k = 0; k < scope.fit.order; ++k)
    sum += u >= 0 ? p[2 + 3 * k] * Exp(-u / p[3 + 3 * k]) : p[2 + 3 * k] * Exp(u / p[4 + 3 * k]);
  return sum + p[0];
}

std::string Equation(const Fit& fit, const std::string& v) {
  return JoinTerms(fit.order, [&](int k) {
    return CFormat("%1.4lg*exp(-%s/%1.4lg) (x>=0),", P(fit, 2 + 3 * k), v.c_str(), P(fit, 3 + 3 * k)) +
           CFormat("%1.4lg*exp(-%s/%1.4lg) (x<0),", P(fit, 2 + 3 * k), v.c_str(), P(fit, 4 + 3 * k));
  });
}

}  // namespace

extern const ModelFamily kDualSidedExponentialFamily;
const ModelFamily kDualSidedExponentialFamily = {"Dual Sided Exponential", Count, Name, LargestOrder(Count), Value,
                                                 nullptr, nullptr, Equation};

}  // namespace zentrel::family
