// Polynomial: y0 + sum a_j (x-x0)^(j+1).

#include "fit/families/family_helpers.h"

namespace zentrel::family {

namespace {

int Count(int order, int) { return order + 2; }

std::string Name(int index) { return Numbered("a", index - 1); }

double Value(ModelScope& scope, double u, const double* p) {
  double sum = 0;
  for (int j = 1; j <= scope.fit.order; ++j) sum += p[1 + j] * Pow(u, j);
  return sum + p[0];
}

void Derivatives(ModelScope& scope, double u, double* p, double* out) {
  double dx0 = 0;
  for (int j = 1; j <= scope.fit.order; ++j) {
    dx0 += j * p[1 + j] * Pow(u, j - 1);
    out[1 + j] = Pow(u, j);
  }
  out[1] = -dx0;
}

std::string Equation(const Fit& fit, const std::string& v) {
  return JoinTerms(fit.order, [&](int k) {
    if (k == 0) return CFormat("%1.4lg*%s", P(fit, 2), v.c_str());
    return CFormat("%1.4lg*%s^%d", P(fit, 2 + k), v.c_str(), k + 1);
  });
}

}  // namespace

extern const ModelFamily kPolynomialFamily;
const ModelFamily kPolynomialFamily = {"Polynomial", Count, Name, LargestOrder(Count), Value, Derivatives, nullptr, Equation};

}  // namespace zentrel::family
