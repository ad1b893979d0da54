// A Gaussian of amplitude g plus exponentials convolved with the same
// Gaussian (width s).

#include "fit/families/family_helpers.h"

namespace zentrel::family {

namespace {

int Count(int order, int) { return 2 * order + 4; }

std::string Name(int index) {
  if (index == 2) return "g amp";
  if (index == 3) return "s";
  return Numbered(index % 2 == 0 ? "a" : "t", (index - 4) / 2);
}

double Value(ModelScope& scope, double u, const double* p) {
  const double g = p[2], s = p[3];
  double sum = g * Exp(-(u * u) / (2 * (s * s)));
  for (int k = 0; k < scope.fit.order; ++k) {
    const double t = p[5 + 2 * k];
    sum += p[4 + 2 * k] * Exp(-u / t) * Erfc((s / t - u / s) / kSqrt2);
  }
  return sum + p[0];
}

void Derivatives(ModelScope& scope, double u, double* p, double* out) {
  const double g = p[2], s = p[3];
  const double gauss = Exp(-(u * u) / (2 * (s * s)));
  double dx0 = g * gauss * u / (s * s);
  double ds = g * gauss * u * u / (s * s * s);
  for (int k = 0; k < scope.fit.order; ++k) {
    const double a = p[4 + 2 * k], t = p[5 + 2 * k];
    const double z = (s / t - u / s) / kSqrt2;
    const double c = Erfc(z);
    const double phi = kSqrt2OverPi * Exp(-(z * z));
    const double e = Exp(-u / t);
    dx0 += a * e * (c / t - phi / s);
    ds -= a * e * phi * (u / (s * s) + 1 / t);
    out[4 + 2 * k] = e * c;
    out[5 + 2 * k] = a * e * (u * c + s * phi) / (t * t);
  }
  out[1] = dx0;
  out[2] = gauss;
  out[3] = ds;
}

std::string Equation(const Fit& fit, const std::string& v) {
  return JoinTerms(fit.order, [&](int k) {
    if (k == 0) return CFormat("%1.4lg*gaus+%1.4lg*exp(-%s/%1.4lg)", P(fit, 2), P(fit, 4), v.c_str(), P(fit, 5));
    return CFormat("%1.4lg*exp(-%s/%1.4lg)", P(fit, 4 + 2 * k), v.c_str(), P(fit, 5 + 2 * k));
  });
}

}  // namespace

extern const ModelFamily kGaussPlusExpConvGaussianFamily;
const ModelFamily kGaussPlusExpConvGaussianFamily = {"Gauss plus Exponential convolved with Gaussian",
                                                     Count, Name, LargestOrder(Count), Value, Derivatives, nullptr,
                                                     Equation};

}  // namespace zentrel::family
