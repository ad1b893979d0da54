#include "fit/response_shift.h"

#include <cmath>

#include "fit/fit_data.h"
#include "fit/fit_parameters.h"
#include "model/data_set.h"

namespace zentrel {

namespace {

// y[j], 0 beyond the ends.
double At(std::span<const double> y, long long j) {
  return j >= 0 && j < static_cast<long long>(y.size()) ? y[static_cast<size_t>(j)] : 0.0;
}

// shift / delta as a whole number of channels and the fraction above it.
struct Channels {
  long long whole = 0;
  double fraction = 0;
  bool usable = false;
};

Channels ChannelsOf(double shift, double delta) {
  Channels c;
  const double t = shift / delta;
  // A shift beyond any response's length moves it all out of the grid.
  if (!std::isfinite(t) || std::fabs(t) > 1e15) return c;
  c.whole = static_cast<long long>(std::floor(t));
  c.fraction = t - static_cast<double>(c.whole);
  c.usable = true;
  return c;
}

}  // namespace

bool ShiftApplies(const Fit& fit) { return fit.convolve != 0 && fit.convolutionSource != nullptr; }

bool ShiftIsFree(const Fit& fit) { return ShiftApplies(fit) && fit.shiftFree != 0; }

bool ShiftInUse(const Fit& fit) { return ShiftApplies(fit) && (fit.shiftFree != 0 || fit.shift != 0); }

double ResponseSpacing(const Fit& fit) {
  if (!ShiftApplies(fit)) return 0;
  const FitData columns = FitDataOf(*fit.convolutionSource);
  if (columns.x.size() < 2) return 0;
  const double delta = (columns.x.back() - columns.x.front()) / static_cast<double>(columns.x.size() - 1);
  return std::isfinite(delta) ? delta : 0;
}

EngineParameters EngineParametersOf(const Fit& fit) {
  EngineParameters p{};
  std::copy(fit.params.begin(), fit.params.end(), p.begin());
  p[kShiftIndex] = fit.shift;
  return p;
}

void StoreEngineParameters(Fit& fit, const EngineParameters& p) {
  std::copy(p.begin(), p.begin() + kMaxFitParameters, fit.params.begin());
  fit.shift = p[kShiftIndex];
}

double EngineParameter(const Fit& fit, int index) {
  if (index == kShiftIndex) return fit.shift;
  return index >= 0 && index < kMaxFitParameters ? fit.params[static_cast<size_t>(index)] : 0.0;
}

void SetEngineParameter(Fit& fit, int index, double value) {
  if (index == kShiftIndex) fit.shift = value;
  else if (index >= 0 && index < kMaxFitParameters) fit.params[static_cast<size_t>(index)] = value;
}

bool EngineParameterFree(const Fit& fit, int index) {
  if (index == kShiftIndex) return ShiftIsFree(fit);
  return index >= 0 && index < kMaxFitParameters && fit.freeFlags[static_cast<size_t>(index)] != 0;
}

void HoldEngineParameter(Fit& fit, int index) {
  if (index == kShiftIndex) fit.shiftFree = 0;
  else if (index >= 0 && index < kMaxFitParameters) fit.freeFlags[static_cast<size_t>(index)] = 0;
}

std::vector<int> FreeEngineIndex(const Fit& fit) {
  std::vector<int> free;
  const int count = std::min(ParameterCount(fit), kMaxFitParameters);
  for (int i = 0; i < count; ++i)
    if (fit.freeFlags[static_cast<size_t>(i)]) free.push_back(i);
  if (ShiftIsFree(fit)) free.push_back(kShiftIndex);
  return free;
}

std::vector<std::string> EngineParameterNames(const Fit& fit) {
  std::vector<std::string> names(static_cast<size_t>(kEngineParameters));
  const int count = std::min(ParameterCount(fit), kMaxFitParameters);
  for (int i = 0; i < kMaxFitParameters; ++i)
    names[static_cast<size_t>(i)] = i < count ? ParameterName(fit, i) : "a" + std::to_string(i);
  names[kShiftIndex] = kShiftName;
  return names;
}

std::vector<double> ShiftedResponse(std::span<const double> y, double shift, double delta) {
  if (shift == 0) return {y.begin(), y.end()};
  std::vector<double> moved(y.size(), 0.0);
  const Channels c = ChannelsOf(shift, delta);
  if (!c.usable) return moved;
  // x_i - shift = x_0 + (i - whole - fraction) delta: between points
  // i - whole - 1 and i - whole.
  for (size_t i = 0; i < y.size(); ++i) {
    const long long j = static_cast<long long>(i) - c.whole;
    moved[i] = (1 - c.fraction) * At(y, j) + c.fraction * At(y, j - 1);
  }
  return moved;
}

std::vector<double> ShiftedResponseSlope(std::span<const double> y, double shift, double delta) {
  std::vector<double> slope(y.size(), 0.0);
  const Channels c = ChannelsOf(shift, delta);
  if (!c.usable) return slope;
  for (size_t i = 0; i < y.size(); ++i) {
    const long long j = static_cast<long long>(i) - c.whole;
    slope[i] = (At(y, j - 1) - At(y, j)) / delta;
  }
  return slope;
}

}  // namespace zentrel
