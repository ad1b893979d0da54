// Gaussian peaks: y0 + sum a_k exp(-((x-x0-off_k)/width_k)^2/2).

#include "fit/families/family_helpers.h"

namespace zentrel::family {

namespace {

int Count(int order, int) { return 3 * order + 2; }

std::string Name(int index) {
  static const char* const stems[] = {"a", "off", "width"};
  return CycleName(stems, index);
}

double Value(ModelScope& scope, double u, const double* p) {
  double sum = 0;
  for (int k = 0; k < scope.fit.order; ++k) {
    const double z = (u - p[3 + 3 * k]) / p[4 + 3 * k];
    sum += p[2 + 3 * k] * Exp(-0.5 * (z * z));
  }
  return sum + p[0];
}

void Derivatives(ModelScope& scope, double u, double* p, double* out) {
  double dx0 = 0;
  for (int k = 0; k < scope.fit.order; ++k) {
    const double a = p[2 + 3 * k], width = p[4 + 3 * k];
    const double z = u - p[3 + 3 * k];
    const double q = z / width;
    const double e = Exp(-0.5 * (q * q));
    dx0 += a * e * z / (width * width);
    out[2 + 3 * k] = e;
    out[3 + 3 * k] = a * e * z / (width * width);
    out[4 + 3 * k] = a * e * z * z / (width * width * width);
  }
  out[1] = dx0;
}

std::string Equation(const Fit& fit, const std::string& v) {
  return JoinTerms(fit.order, [&](int k) {
    return CFormat("%1.4lg*exp(-(%s-%1.4lg/(2(%1.4lg)^2))", P(fit, 2 + 3 * k), v.c_str(), P(fit, 3 + 3 * k),
                   P(fit, 4 + 3 * k));
  });
}

}  // namespace

extern const ModelFamily kGaussianFamily;
const ModelFamily kGaussianFamily = {"Gaussian", Count, Name, LargestOrder(Count), Value, Derivatives, nullptr, Equation};

}  // namespace zentrel::family
