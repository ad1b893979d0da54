#include "view/paper_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace zentrel {

namespace {

// More ticks than this are never useful; a huge count means the range is
// degenerate for the arithmetic, and the axis gets none.
constexpr std::int64_t kMaxCount = 1000;
// Multiples beyond this are no longer exact integers in a double.
constexpr double kMaxMultiple = 1e15;

// 10^e, exact for |e| <= 22 (the powers of ten a double holds exactly).
double PowerOfTen(int e) {
  if (e < -22 || e > 22) return std::pow(10.0, e);
  double p = 1.0;
  for (int k = 0; k < std::abs(e); ++k) p *= 10.0;
  return e < 0 ? 1.0 / p : p;
}

// n * 10^e, correctly rounded: a negative power divides by the exact 10^-e
// instead of multiplying by its inexact reciprocal, so 3 * 10^-1 is the
// double nearest 0.3 (what the label "0.3" parses to).
double Scaled(double n, int e) {
  if (e >= 0) return n * PowerOfTen(e);
  if (e >= -22) return n / PowerOfTen(-e);
  return n * std::pow(10.0, e);
}

struct Step {
  int mantissa = 1;  // 1, 2 or 5
  int exponent = 0;
  double value() const { return Scaled(mantissa, exponent); }
};

bool FindStep(double span, int maxSteps, Step& step) {
  if (!std::isfinite(span) || !(span > 0.0)) return false;
  const double raw = span / std::max(maxSteps, 1);
  if (!(raw > 0.0) || !std::isfinite(raw)) return false;
  // Starts a decade low, as log10 may round either way near a power of
  // ten; the first candidate that is large enough is the smallest.
  const int start = static_cast<int>(std::floor(std::log10(raw))) - 1;
  for (int e = start; e <= start + 3; ++e)
    for (const int m : {1, 2, 5})
      if (Scaled(m, e) >= raw * (1.0 - 1e-12)) {
        step = {m, e};
        return true;
      }
  return false;
}

// Drops the padding of printf's exponent: "2e-09" -> "2e-9", "5e+06" -> "5e6".
std::string CompactExponent(std::string text) {
  const size_t e = text.find('e');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  std::string exponent = text.substr(e + 1);
  bool negative = false;
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    negative = exponent[0] == '-';
    exponent.erase(0, 1);
  }
  exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
  return mantissa + "e" + (negative ? "-" : "") + exponent;
}

std::string Printf(const char* format, int precision, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, precision, value);
  return buffer;
}

// The label of multiple * 10^exponent shown in units of 10^unit: decimals
// where the step has them, scientific form for values far from 1 when no
// unit is factored out.
std::string ExactLabel(double multiple, int exponent, int unit, bool scientific) {
  const double shown = Scaled(multiple, exponent - unit);
  if (shown == 0.0) return "0";
  if (scientific) {
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(shown)) + 1e-9));
    return CompactExponent(Printf("%.*e", std::max(0, magnitude - (exponent - unit)), shown));
  }
  return Printf("%.*f", std::max(0, unit - exponent), shown);
}

}  // namespace

double RoundStep(double span, int maxSteps) {
  Step step;
  return FindStep(span, maxSteps, step) ? step.value() : 0.0;
}

AxisTicks LinearTicks(double lo, double hi, int maxTicks, bool factorPowers) {
  AxisTicks ticks;
  if (!(lo < hi) || !std::isfinite(lo) || !std::isfinite(hi)) return ticks;
  Step step;
  // maxTicks ticks have maxTicks - 1 steps between them.
  if (!FindStep(hi - lo, std::max(maxTicks - 1, 1), step)) return ticks;
  const double s = step.value();
  const double first = std::ceil(lo / s - 1e-9), last = std::floor(hi / s + 1e-9);
  if (!(last >= first) || std::fabs(first) > kMaxMultiple || std::fabs(last) > kMaxMultiple ||
      last - first >= kMaxCount)
    return ticks;
  const double largest = std::max(std::fabs(first), std::fabs(last)) * s;
  int unit = 0;
  bool scientific = false;
  if (largest > 0.0 && (largest >= 1e4 || largest < 1e-2)) {
    const int magnitude = static_cast<int>(std::floor(std::log10(largest) + 1e-9));
    if (factorPowers)
      unit = 3 * static_cast<int>(std::floor(magnitude / 3.0));
    else
      scientific = largest >= 1e6 || largest < 1e-4;
  }
  ticks.powerOfTen = unit;
  for (double i = first; i <= last; ++i) {
    const double multiple = i * step.mantissa;
    ticks.major.push_back(Scaled(multiple, step.exponent));
    ticks.labels.push_back({ExactLabel(multiple, step.exponent, unit, scientific), ""});
  }
  const int divisions = step.mantissa == 2 ? 4 : 5;
  const double minorStep = s / divisions;
  const double firstMinor = std::ceil(lo / minorStep - 1e-9), lastMinor = std::floor(hi / minorStep + 1e-9);
  if (lastMinor - firstMinor < kMaxCount * 5)
    for (double j = firstMinor; j <= lastMinor; ++j)
      if (std::fmod(std::fabs(j), divisions) != 0.0) ticks.minor.push_back(j * minorStep);
  return ticks;
}

AxisTicks LogTicks(double lo, double hi, int maxTicks) {
  AxisTicks ticks;
  if (!(lo > 0.0) || !(lo < hi) || !std::isfinite(hi)) return ticks;
  const int first = static_cast<int>(std::ceil(std::log10(lo) - 1e-9));
  const int last = static_cast<int>(std::floor(std::log10(hi) + 1e-9));
  const auto inside = [&](double v) { return v >= lo * (1 - 1e-12) && v <= hi * (1 + 1e-12); };
  const auto addMinors = [&](int stride) {
    for (int k = first - 1; k <= last; ++k) {
      if (stride > 1) {
        if (k % stride != 0 && inside(PowerOfTen(k))) ticks.minor.push_back(PowerOfTen(k));
        continue;
      }
      for (int m = 2; m <= 9; ++m)
        if (inside(Scaled(m, k))) ticks.minor.push_back(Scaled(m, k));
    }
  };
  if (last - first + 1 >= 2) {
    const int decades = last - first + 1;
    const int stride = std::max(1, (decades + std::max(maxTicks, 1) - 1) / std::max(maxTicks, 1));
    for (int k = first; k <= last; ++k) {
      if (k % stride != 0) continue;
      ticks.major.push_back(PowerOfTen(k));
      ticks.labels.push_back({"10", std::to_string(k)});
    }
    addMinors(stride);
    return ticks;
  }
  // Less than two decades: 1, 2 and 5 times a power of ten, when that gives
  // at least two ticks.
  std::vector<std::pair<int, int>> roundValues;  // mantissa, exponent
  for (int k = first - 1; k <= last; ++k)
    for (const int m : {1, 2, 5})
      if (inside(Scaled(m, k))) roundValues.push_back({m, k});
  if (roundValues.size() >= 2 && static_cast<int>(roundValues.size()) <= std::max(maxTicks, 2)) {
    for (const auto& [m, k] : roundValues) {
      const double value = Scaled(m, k);
      ticks.major.push_back(value);
      ticks.labels.push_back({ExactLabel(m, k, 0, value >= 1e6 || value < 1e-4), ""});
    }
    addMinors(1);
    ticks.minor.erase(std::remove_if(ticks.minor.begin(), ticks.minor.end(),
                                     [&](double v) {
                                       return std::find(ticks.major.begin(), ticks.major.end(), v) !=
                                              ticks.major.end();
                                     }),
                      ticks.minor.end());
    return ticks;
  }
  return LinearTicks(lo, hi, maxTicks, false);
}

}  // namespace zentrel
