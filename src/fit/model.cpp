#include "fit/model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "fit/model_math.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "model/fit_kinds.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

using fitmath::Erfc;
using fitmath::Exp;
using fitmath::Log;
using fitmath::Pow;

const double kSqrt2 = std::sqrt(2.0);
const double kSqrt2OverPi = std::sqrt(2.0 / M_PI);

// Peak-normalised shape of a squared exponential convolved with a
// dual-sided exponential (fall time tf, rise time tr), for one term pair.
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

double SquaredExpConvDualSided(const double* p, int n, double u) {
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
  return sum;
}

double SplineValue(Fit& fit, double u) {
  if (!fit.splinePrepared) PrepareSpline(fit);
  if (!fit.splinePrepared) return 0;
  const double* xa = fit.x;
  const double* ya = fit.y;
  const double* y2 = fit.splineSecondDerivatives.data();
  int lo = 0, hi = fit.pointCount - 1;
  while (hi - lo > 1) {
    const int mid = (hi + lo) >> 1;
    if (xa[mid] > u) hi = mid;
    else lo = mid;
  }
  const double h = xa[hi] - xa[lo];
  if (h == 0) reportNumericError("Bad xa input to routine splint");
  const double a = (xa[hi] - u) / h;
  const double b = (u - xa[lo]) / h;
  return a * ya[lo] + b * ya[hi] + ((a * a * a - a) * y2[lo] + (b * b * b - b) * y2[hi]) * (h * h) / 6.0;
}

// The model without convolution: the term sum, then y0.
double UnconvolvedValue(Fit& fit, double x, const double* p) {
  const int n = fit.order;
  const double u = x - p[1];
  double sum = 0;
  switch (fit.modelKind) {
    case kExponential:
      for (int k = 0; k < n; ++k) sum += p[2 + 2 * k] * Exp(-u / p[3 + 2 * k]);
      break;
    case kPolynomial:
      for (int j = 1; j <= n; ++j) sum += p[1 + j] * Pow(u, j);
      break;
    case kGaussian:
      for (int k = 0; k < n; ++k) {
        const double z = (u - p[3 + 3 * k]) / p[4 + 3 * k];
        sum += p[2 + 3 * k] * Exp(-0.5 * (z * z));
      }
      break;
    case kLorentzian:
      for (int k = 0; k < n; ++k) {
        const double z = (u - p[3 + 3 * k]) / p[4 + 3 * k];
        sum += p[2 + 3 * k] / (1 + 4 * (z * z));
      }
      break;
    case kStretchedExponential:
      for (int k = 0; k < n; ++k) sum += p[2 + 3 * k] * Exp(-Pow(u / p[3 + 3 * k], p[4 + 3 * k]));
      break;
    case kSquaredExponential: {
      double s = 0;
      for (int k = 0; k < n; ++k) s += p[2 + 2 * k] * Exp(-u / p[3 + 2 * k]);
      sum = s * s;
      break;
    }
    case kDualSidedExponential:
      for (int k = 0; k < n; ++k)
        sum += u >= 0 ? p[2 + 3 * k] * Exp(-u / p[3 + 3 * k]) : p[2 + 3 * k] * Exp(u / p[4 + 3 * k]);
      break;
    case kSquaredExpConvDualSided: sum = SquaredExpConvDualSided(p, n, u); break;
    case kExpConvGaussian: {
      const double s = p[2];
      for (int k = 0; k < n; ++k) {
        const double t = p[4 + 2 * k];
        sum += p[3 + 2 * k] * Exp(-u / t) * Erfc((s / t - u / s) / kSqrt2);
      }
      break;
    }
    case kSquaredExpConvGaussian: {
      const double s = p[2];
      for (int j = 0; j < n; ++j) {
        for (int k = j; k < n; ++k) {
          const double lambda = 1 / p[4 + 2 * j] + 1 / p[4 + 2 * k];
          sum += p[3 + 2 * j] * p[3 + 2 * k] * Exp(-lambda * u) * Erfc((lambda * s - u / s) / kSqrt2);
        }
      }
      break;
    }
    case kCustomFunction:
      if (!fit.HasCustomEvaluator()) {
        fit.errorCode = kNoCustomEvaluatorError;
        return 0;
      }
      sum = fit.EvaluateCustom(p + 2, u);
      break;
    case kGaussPlusExpConvGaussian: {
      const double g = p[2], s = p[3];
      sum = g * Exp(-(u * u) / (2 * (s * s)));
      for (int k = 0; k < n; ++k) {
        const double t = p[5 + 2 * k];
        sum += p[4 + 2 * k] * Exp(-u / t) * Erfc((s / t - u / s) / kSqrt2);
      }
      break;
    }
    case kPowerLaw:
      for (int k = 0; k < n; ++k) sum += p[2 + 3 * k] * Pow(u - p[3 + 3 * k], p[4 + 3 * k]);
      break;
    case kSquaredStretchedExponential: {
      double s = 0;
      for (int k = 0; k < n; ++k) s += p[2 + 3 * k] * Exp(-Pow(u / p[3 + 3 * k], p[4 + 3 * k]));
      sum = s * s;
      break;
    }
    case kCubicSpline: sum = SplineValue(fit, u); break;
    case kMctPowerLaws: {
      const double xmin = p[2], a = p[3], b = p[4], wmin = p[5];
      sum = xmin * (b * Pow(u / wmin, a) + a * Pow(wmin / u, b)) / (a + b);
      break;
    }
    default: break;
  }
  return sum + p[0];
}

// Simpson-weighted convolution with the source set's y values over the
// positive lags, normalised by the source's area.
double ConvolvedValue(Fit& fit, double x, const double* p) {
  const Data_Set* source = fit.convolutionSource;
  if (source == nullptr) return 0;
  const int m = source->DrawablePointCount();
  if (m < 5 || fit.convolutionArea == 0) return 0;
  const double* xs = source->ColumnData(0);
  const double* w = source->ColumnData(1);
  const double delta = (xs[m - 1] - xs[0]) / (m - 1);
  double sum = 0;
  for (int i = 0; i < m; ++i) {
    const double lag = x - (xs[0] + i * delta);
    if (!(lag > 0)) continue;
    const double weight = (i == 0 || i == m - 1) ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0);
    sum += weight * w[i] * UnconvolvedValue(fit, lag, p);
  }
  return delta / 3 * sum / fit.convolutionArea;
}

double RiddersStep(const double* p, int index) { return p[index] != 0 ? p[index] : 1e-15; }

// Analytic partial derivatives of the exponential term sum (kind 0), used
// by kinds 0 and 5. Returns the sum S; out gets dS/dtheta for index >= 1.
double ExponentialSumDerivatives(const double* p, int n, double u, double* out) {
  double s = 0, dx0 = 0;
  for (int k = 0; k < n; ++k) {
    const double a = p[2 + 2 * k], t = p[3 + 2 * k];
    const double e = Exp(-u / t);
    s += a * e;
    dx0 += a * e / t;
    out[2 + 2 * k] = e;
    out[3 + 2 * k] = a * u * e / (t * t);
  }
  out[1] = dx0;
  return s;
}

// The same for the stretched exponential sum (kinds 4 and 13).
double StretchedSumDerivatives(Fit& fit, double* p, int n, double u, double* out) {
  double s = 0, dx0 = 0;
  for (int k = 0; k < n; ++k) {
    const double a = p[2 + 3 * k], t = p[3 + 3 * k], b = p[4 + 3 * k];
    const double v = u / t;
    const double e = Exp(-Pow(v, b));
    s += a * e;
    dx0 += a * b * Pow(v, b - 1) * e / t;
    out[2 + 3 * k] = e;
    out[3 + 3 * k] = a * b * u * Pow(v, b - 1) * e / (t * t);
    out[4 + 3 * k] = v > 0 ? -a * Pow(v, b) * Log(v) * e : NumericalDerivative(fit, 4 + 3 * k, u, p, RiddersStep(p, 4 + 3 * k));
  }
  out[1] = dx0;
  return s;
}

// Fills out[1..count-1] for the analytic kinds; returns false for kinds
// that use numerical derivatives throughout.
bool AnalyticDerivatives(Fit& fit, double* p, double u, double* out) {
  const int n = fit.order;
  switch (fit.modelKind) {
    case kExponential: ExponentialSumDerivatives(p, n, u, out); return true;
    case kPolynomial: {
      double dx0 = 0;
      for (int j = 1; j <= n; ++j) {
        dx0 += j * p[1 + j] * Pow(u, j - 1);
        out[1 + j] = Pow(u, j);
      }
      out[1] = -dx0;
      return true;
    }
    case kGaussian: {
      double dx0 = 0;
      for (int k = 0; k < n; ++k) {
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
      return true;
    }
    case kLorentzian: {
      double dx0 = 0;
      for (int k = 0; k < n; ++k) {
        const double a = p[2 + 3 * k], width = p[4 + 3 * k];
        const double z = u - p[3 + 3 * k];
        const double q = z / width;
        const double d = 1 + 4 * (q * q);
        const double common = 8 * a * z / (width * width * d * d);
        dx0 += common;
        out[2 + 3 * k] = 1 / d;
        out[3 + 3 * k] = common;
        out[4 + 3 * k] = 8 * a * z * z / (width * width * width * d * d);
      }
      out[1] = dx0;
      return true;
    }
    case kStretchedExponential: StretchedSumDerivatives(fit, p, n, u, out); return true;
    case kSquaredExponential: {
      const double s = ExponentialSumDerivatives(p, n, u, out);
      for (int i = 1; i < 2 * n + 2; ++i) out[i] = 2 * s * out[i];
      return true;
    }
    case kSquaredStretchedExponential: {
      const double s = StretchedSumDerivatives(fit, p, n, u, out);
      for (int i = 1; i < 3 * n + 2; ++i) out[i] = 2 * s * out[i];
      return true;
    }
    case kGaussPlusExpConvGaussian: {
      const double g = p[2], s = p[3];
      const double gauss = Exp(-(u * u) / (2 * (s * s)));
      double dx0 = g * gauss * u / (s * s);
      double ds = g * gauss * u * u / (s * s * s);
      for (int k = 0; k < n; ++k) {
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
      return true;
    }
    case kPowerLaw: {
      double dx0 = 0;
      for (int k = 0; k < n; ++k) {
        const double a = p[2 + 3 * k], exponent = p[4 + 3 * k];
        const double z = u - p[3 + 3 * k];
        const double slope = a * exponent * Pow(z, exponent - 1);
        dx0 += slope;
        out[2 + 3 * k] = Pow(z, exponent);
        out[3 + 3 * k] = -slope;
        out[4 + 3 * k] = z > 0 ? a * Log(z) * Pow(z, exponent) : NumericalDerivative(fit, 4 + 3 * k, u, p, 1e-15);
      }
      out[1] = -dx0;
      return true;
    }
    case kMctPowerLaws: {
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
      return true;
    }
    case kCubicSpline:
      for (int i = 1; i < fit.parameterCount(); ++i) out[i] = 0;
      return true;
    default: return false;
  }
}

void AllDerivatives(Fit& fit, double x, double* p, double* out, const int* freeOnly = nullptr) {
  const int count = std::min(fit.parameterCount(), kMaxFitParameters);
  out[0] = 1;
  const double u = x - p[1];
  if (!fit.convolve && AnalyticDerivatives(fit, p, u, out)) return;
  for (int i = 1; i < count; ++i) {
    // The engine uses only the free parameters' derivatives.
    out[i] = freeOnly != nullptr && !freeOnly[i] ? 0.0 : NumericalDerivative(fit, i, u, p, RiddersStep(p, i));
  }
}

}  // namespace

double ModelValue(Fit& fit, double x, const double* p) {
  if (fit.convolve) return ConvolvedValue(fit, x, p);
  return UnconvolvedValue(fit, x, p);
}

double ModelValue(Fit& fit, double x) { return ModelValue(fit, x, fit.params.data()); }

void ModelDerivatives(Fit& fit, double x, double* p, double* out) { AllDerivatives(fit, x, p, out); }

double ModelValueAndDerivatives(Fit& fit, double x, double* p, double* out, const int* freeOnly) {
  // The exponential sums give their value on the way: the same operations
  // in the same order as ModelValue, so the same number, for half the exps.
  if (!fit.convolve && (fit.modelKind == kExponential || fit.modelKind == kSquaredExponential)) {
    const double u = x - p[1];
    const int n = fit.order;
    out[0] = 1;
    const double s = ExponentialSumDerivatives(p, n, u, out);
    if (fit.modelKind == kExponential) return s + p[0];
    for (int i = 1; i < 2 * n + 2; ++i) out[i] = 2 * s * out[i];
    return s * s + p[0];
  }
  const double value = ModelValue(fit, x, p);
  AllDerivatives(fit, x, p, out, freeOnly);
  return value;
}

double PartialDerivative(Fit& fit, int index, double u, double* p) {
  if (index == 0) return 1;
  std::array<double, kMaxFitParameters> all{};
  AllDerivatives(fit, u + p[1], p, all.data());
  return index < kMaxFitParameters ? all[static_cast<size_t>(index)] : 0;
}

double Ridders(Fit& fit, int index, double u, double* p, double h) {
  return RiddersWithError(fit, index, u, p, h).value;
}

RiddersEstimate RiddersWithError(Fit& fit, int index, double u, double* p, double h) {
  constexpr double kCon = 1.4, kCon2 = kCon * kCon, kBig = 1.0e30, kSafe = 2.0;
  constexpr int kTableSize = 10;
  const double x = u + p[1];
  auto difference = [&](double step) {
    p[index] += step;
    const double above = ModelValue(fit, x, p);
    p[index] -= 2 * step;
    const double below = ModelValue(fit, x, p);
    p[index] += step;
    return (above - below) / (2 * step);
  };
  double a[kTableSize + 1][kTableSize + 1] = {};
  double hh = h;
  a[1][1] = difference(hh);
  double err = kBig;
  double answer = a[1][1];
  for (int i = 2; i <= kTableSize; ++i) {
    hh /= kCon;
    a[1][i] = difference(hh);
    double fac = kCon2;
    for (int j = 2; j <= i; ++j) {
      a[j][i] = (a[j - 1][i] * fac - a[j - 1][i - 1]) / (fac - 1);
      fac = kCon2 * fac;
      const double errt = std::max(std::fabs(a[j][i] - a[j - 1][i]), std::fabs(a[j][i] - a[j - 1][i - 1]));
      if (errt <= err) {
        err = errt;
        answer = a[j][i];
      }
    }
    if (std::fabs(a[i][i] - a[i - 1][i - 1]) >= kSafe * err) break;
  }
  return {answer, err};
}

double NumericalDerivative(Fit& fit, int index, double u, double* p, double h) {
  // The published algorithm starts from a large step (the parameter's own
  // size). Where the model bends sharply within that step, or cannot be
  // evaluated at its far ends (a parameter of 0 in a denominator), the
  // result is wrong or a math error stops the fit, and the error estimate
  // cannot be trusted there either. So the step shrinks tenfold until two
  // successive estimates agree and the latter's error estimate is small;
  // probes that raise a math error do not count, unless every probe does.
  constexpr double kAgreement = 1e-7;
  constexpr double kGoodEnough = 1e-9;
  constexpr int kAttempts = 6;
  const NumericError before = NumericErrorState();
  NumericError lastFailure;
  RiddersEstimate best{std::nan(""), std::numeric_limits<double>::infinity()};
  bool found = false;
  bool havePrevious = false;
  double previous = 0;
  double step = h;
  for (int attempt = 0; attempt < kAttempts; ++attempt, step *= 0.1) {
    ClearNumericError();
    const RiddersEstimate estimate = RiddersWithError(fit, index, u, p, step);
    if (NumericErrorState().code != 0) {
      lastFailure = NumericErrorState();
      havePrevious = false;
      continue;
    }
    if (!found || estimate.error < best.error) best = estimate;
    found = true;
    const double scale = std::fabs(estimate.value);
    if (havePrevious && std::fabs(estimate.value - previous) <= kAgreement * scale &&
        estimate.error <= kGoodEnough * scale) {
      best = estimate;
      break;
    }
    previous = estimate.value;
    havePrevious = true;
  }
  NumericErrorState() = found ? before : lastFailure;
  return best.value;
}

void PrepareSpline(Fit& fit) {
  const int n = fit.pointCount;
  if (fit.x == nullptr || fit.y == nullptr || n <= 3) {
    fit.splinePrepared = false;
    return;
  }
  const double* x = fit.x;
  const double* y = fit.y;
  std::vector<double>& y2 = fit.splineSecondDerivatives;
  y2.assign(static_cast<size_t>(n), 0.0);
  std::vector<double> u(static_cast<size_t>(n), 0.0);
  // Zero first derivative at both ends (a clamped, not a natural, spline).
  y2[0] = -0.5;
  u[0] = (3.0 / (x[1] - x[0])) * ((y[1] - y[0]) / (x[1] - x[0]));
  for (int i = 1; i < n - 1; ++i) {
    const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
    const double p = sig * y2[i - 1] + 2.0;
    y2[i] = (sig - 1.0) / p;
    const double slopes = (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
    u[i] = (6.0 * slopes / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
  }
  const double qn = 0.5;
  const double un = (3.0 / (x[n - 1] - x[n - 2])) * (0.0 - (y[n - 1] - y[n - 2]) / (x[n - 1] - x[n - 2]));
  y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1.0);
  for (int k = n - 2; k >= 0; --k) y2[k] = y2[k] * y2[k + 1] + u[k];
  fit.splinePrepared = true;
}

}  // namespace zentrel
