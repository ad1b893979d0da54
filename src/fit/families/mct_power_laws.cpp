// The MCT power laws: xmin ((b (u/wmin)^a + a (wmin/u)^b) / (a + b)), one
// term at every order.

#include "fit/families/family_helpers.h"

namespace zentrel::family {

namespace {

int Count(int, int) { return 6; }

std::string Name(int index) {
  static const char* const names[] = {"xmin", "a", "b", "wmin"};
  return names[index - 2];
}

double Value(ModelScope&, double u, const double* p) {
  const double xmin = p[2], a = p[3], b = p[4], wmin = p[5];
  const double sum = xmin * (b * Pow(u / wmin, a) + a * Pow(wmin / u, b)) / (a + b);
  return sum + p[0];
}

void Derivatives(ModelScope&, double u, double* p, double* out) {
  const double xmin = p[2], a = p[3], b = p[4], wmin = p[5];
  const double v = u / wmin;
  const double pa = Pow(v, a), qb = Pow(wmin / u, b);
  const double r = b * pa + a * qb;
  const double ab = a + b;
  out[1] = -xmin * a * b * (pa - qb) / (ab * u);
  out[2] = r / ab;
  out[3] = xmin * ((b * Log(v) * pa + qb) / ab - r / (ab * ab));
  out[4] = xmin * ((pa - a * Log(v) * qb) / ab - r / (ab * ab));
  out[5] = xmin * a * b * (qb - pa) / (ab * wmin);
}

std::string Equation(const Fit& fit, const std::string&) {
  return JoinTerms(fit.order, [&](int) {
    return CFormat("%1.4lg/(%1.4lg+%1.4lg)(%1.4lg(x/%1.4lg)^%1.4lg+%1.4lg(x/%1.4lg)^%1.4lg)", P(fit, 2), P(fit, 3),
                   P(fit, 4), P(fit, 4), P(fit, 5), P(fit, 3), P(fit, 3), P(fit, 5), -P(fit, 4));
  });
}

}  // namespace

extern const ModelFamily kMctPowerLawsFamily;
const ModelFamily kMctPowerLawsFamily = {"MCT powerlaws", Count, Name, 1, Value, Derivatives, nullptr, Equation};

}  // namespace zentrel::family
