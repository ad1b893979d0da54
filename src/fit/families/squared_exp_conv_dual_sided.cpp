// A squared exponential sum convolved with a dual-sided exponential (fall
// time tf, rise time tr), each term pair normalised to its peak.
// Numerical derivatives.

#include "fit/families/family_helpers.h"

namespace zentrel::family {

namespace {

int Count(int order, int) { return 2 * order + 4; }

std::string Name(int index) {
  if (index == 2) return "tf";
  if (index == 3) return "tr";
  return Numbered(index % 2 == 0 ? "a" : "t", (index - 4) / 2);
}

// Peak-normalised shape of one term pair.
struct DualSidedPair {
  double lambda, r, q, tf, tr;

  double Shape(double v) const {
    if (v < 0) return Exp(v / tr) / q;
    return PositiveShape(v);
  }
  double PositiveShape(double v) const {
    if (r != 0) return Exp(-lambda * v) / q + (Exp(-v / tf) - Exp(-lambda * v)) / r;
    return Exp(-lambda * v) / q + v * Exp(-v / tf);
  }
  double PeakPosition() const {
    if (r != 0) return Log(tf * lambda * (1 - r / q)) / r;
    return tf * (1 - lambda / q);
  }
};

double Value(ModelScope& scope, double u, const double* p) {
  const int n = scope.fit.order;
  const double tf = p[2], tr = p[3];
  double sum = 0;
  for (int j = 0; j < n; ++j) {
    for (int k = j; k < n; ++k) {
      const double aj = p[4 + 2 * j], tj = p[5 + 2 * j];
      const double ak = p[4 + 2 * k], tk = p[5 + 2 * k];
      const double lambda = j == k ? 2 / tk : 1 / tj + 1 / tk;
      const DualSidedPair pair{lambda, lambda - 1 / tf, lambda + 1 / tr, tf, tr};
      const double norm = pair.PositiveShape(pair.PeakPosition());
      sum += aj * ak * pair.Shape(u) / norm;
    }
  }
  return sum + p[0];
}

// The squared exponential sum in brackets, then the dual-sided exponential
// it is convolved with.
std::string Equation(const Fit& fit, const std::string& v) {
  const int n = fit.order;
  return JoinTerms(n, [&](int k) {
    std::string text = k == 0 ? "(" : "";
    text += CFormat("%1.4lg*exp(-%s/%1.4lg)", P(fit, 4 + 2 * k), v.c_str(), P(fit, 5 + 2 * k));
    if (k == n - 1) text += CFormat(")^2 conv DSExp(tf=%1.4lg,tr=%1.4lg)", P(fit, 2), P(fit, 3));
    return text;
  });
}

}  // namespace

extern const ModelFamily kSquaredExpConvDualSidedFamily;
const ModelFamily kSquaredExpConvDualSidedFamily = {"SquExp Conv DSExp", Count, Name, LargestOrder(Count), Value,
                                                    nullptr, nullptr, Equation};

}  // namespace zentrel::family
