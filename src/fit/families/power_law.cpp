// Power laws: y0 + sum a_k (x - x0 - off_k)^exponent_k.

#include "fit/families/family_helpers.h"
#include "fit/model.h"

namespace zentrel::family {

namespace {

int Count(int order, int) { return 3 * order + 2; }

std::string Name(int index) {
  static const char* const stems[] = {"a", "off", "exponent"};
  return CycleName(stems, index);
}

double Value(ModelScope& scope, double u, const double* p) {
  double sum = 0;
  for (int k = 0; k < scope.fit.order; ++k) sum += p[2 + 3 * k] * Pow(u - p[3 + 3 * k], p[4 + 3 * k]);
  return sum + p[0];
}

// The exponent's derivative is numerical where the base is not positive.
void Derivatives(ModelScope& scope, double u, double* p, double* out) {
  double dx0 = 0;
  for (int k = 0; k < scope.fit.order; ++k) {
    const double a = p[2 + 3 * k], exponent = p[4 + 3 * k];
    const double z = u - p[3 + 3 * k];
    const double slope = a * exponent * Pow(z, exponent - 1);
    dx0 += slope;
    out[2 + 3 * k] = Pow(z, exponent);
    out[3 + 3 * k] = -slope;
    out[4 + 3 * k] = z > 0 ? a * Log(z) * Pow(z, exponent) : NumericalDerivative(scope, 4 + 3 * k, u, p, 1e-15);
  }
  out[1] = -dx0;
}

std::string Equation(const Fit& fit, const std::string& v) {
  return JoinTerms(fit.order, [&](int k) {
    return CFormat("%1.4lg*(%s-%1.4lg)^%1.4lg", P(fit, 2 + 3 * k), v.c_str(), P(fit, 3 + 3 * k), P(fit, 4 + 3 * k));
  });
}

}  // namespace

extern const ModelFamily kPowerLawFamily;
const ModelFamily kPowerLawFamily = {"Power Law", Count, Name, LargestOrder(Count), Value, Derivatives, nullptr, Equation};

}  // namespace zentrel::family
