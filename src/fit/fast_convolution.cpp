#include "fit/fast_convolution.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "fit/fit_parameters.h"
#include "fit/model.h"
#include "fit/model_table.h"
#include "fit/response_shift.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/fft.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// Curves kept at once: enough for Ridders' probes of every parameter at one
// point, and a bound on memory for long sets.
constexpr std::size_t kMostCurves = 256;
// Longest curve worth a transform; beyond it the direct sum is used.
constexpr std::int64_t kMostChannels = std::int64_t{1} << 22;

// The model itself at a lag, as the direct sum evaluates it.
double TermAt(ModelScope& scope, double lag, const double* p) {
  return FamilyOf(scope.fit.modelKind).value(scope, lag - p[1], p);
}

// A model error raised while a curve was made stays with the curve, so a
// later lookup reports it as the direct sum at that point would have.
void Reraise(const NumericError& error) {
  if (error.code != kNoNumericError && NumericErrorState().code == kNoNumericError) NumericErrorState() = error;
}

// The parameters a curve depends on: those of the fit's kind and order. What
// lies beyond them in a caller's array may be anything.
std::array<double, kMaxFitParameters> KeyOf(ModelScope& scope, const double* p) {
  std::array<double, kMaxFitParameters> key{};
  const int count = std::clamp(ParameterCount(scope.fit), 0, kMaxFitParameters);
  std::copy(p, p + count, key.begin());
  return key;
}

}  // namespace

std::size_t ConvolutionCache::ParametersHash::operator()(const Parameters& p) const {
  std::uint64_t hash = 1469598103934665603ull;
  for (const double v : p) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    hash = (hash ^ bits) * 1099511628211ull;
  }
  return static_cast<std::size_t>(hash);
}

bool ConvolutionCache::SameBits::operator()(const Parameters& a, const Parameters& b) const {
  return std::memcmp(a.data(), b.data(), sizeof a) == 0;
}

void ConvolutionCache::clear() {
  layout_ = {};
  lastSourceX_ = 0;
  reachX_ = -std::numeric_limits<double>::infinity();
  orderedSource_ = nullptr;
  sourceColumns_ = {};
  weighted_.clear();
  weightedFft_.clear();
  fftSize_ = 0;
  values_.clear();
  lastCurve_ = nullptr;
  haveDerivatives_ = false;
  derivatives_.clear();
  derivativeError_ = {};
  slopeWeighted_.clear();
  slopeFft_.clear();
  haveShiftCurve_ = false;
  shiftCurve_ = {};
}

bool ConvolutionCache::prepare(ModelScope& scope, double x) {
  const Fit& fit = scope.fit;
  const Data_Set* source = fit.convolutionSource;
  if (!fit.convolve || source == nullptr) return false;
  const int m = source->DrawablePointCount();
  if (m < 5 || fit.convolutionArea == 0) return false;
  // The grid runs from the source's smallest x to its largest, whatever
  // order the set keeps them in.
  if (orderedSource_ != source || sourceColumns_.x.size() != static_cast<std::size_t>(m)) {
    sourceColumns_ = FitDataOf(*source);
    orderedSource_ = source;
  }
  const double* xs = sourceColumns_.x.data();
  // Every point of a pass asks again: the same layout and an x well inside
  // the curves need no arithmetic.
  if (x <= reachX_ && source == layout_.source && m == layout_.sourcePoints && xs[0] == layout_.start &&
      xs[m - 1] == lastSourceX_ && fit.convolutionArea == layout_.area && fit.modelKind == layout_.kind &&
      fit.order == layout_.order && fit.shift == layout_.shift && (fit.modelKind != kCustomFunction || fit.customEquation == layout_.formula))
    return !weightedFft_.empty();
  Layout wanted;
  wanted.source = source;
  wanted.sourcePoints = m;
  wanted.start = xs[0];
  wanted.delta = (xs[m - 1] - xs[0]) / (m - 1);
  wanted.area = fit.convolutionArea;
  wanted.kind = fit.modelKind;
  wanted.order = fit.order;
  wanted.shift = fit.shift;
  if (fit.modelKind == kCustomFunction) wanted.formula = fit.customEquation;
  // Only an ascending grid makes the sums one causal convolution.
  if (!(wanted.delta > 0) || !std::isfinite(wanted.delta) || !std::isfinite(wanted.start)) return false;
  wanted.channels = layout_.channels;
  const double reach = std::floor((x - wanted.start) / wanted.delta) + 2;
  if (layout_ == wanted && reach <= layout_.channels) return !weightedFft_.empty();

  // Curves reach the farthest point of the fit's data (and x).
  double farthest = x;
  for (const double v : scope.data.x)
    if (std::isfinite(v)) farthest = std::max(farthest, v);
  const double channels = std::floor((farthest - wanted.start) / wanted.delta) + 2;
  const FitData columns = sourceColumns_;  // clear() lets go of the cache's
  clear();
  if (!(channels >= 1) || channels > static_cast<double>(kMostChannels)) return false;
  wanted.channels = static_cast<int>(channels);
  layout_ = wanted;
  lastSourceX_ = columns.x[static_cast<std::size_t>(m - 1)];
  // Half a channel short of the last one the curves reach, for rounding.
  reachX_ = wanted.start + (wanted.channels - 2.5) * wanted.delta;
  orderedSource_ = source;
  sourceColumns_ = columns;

  // A shifted response is convolved as it lies after the move.
  const std::vector<double> shifted =
      fit.shift != 0 ? ShiftedResponse(columns.y, fit.shift, wanted.delta) : std::vector<double>{};
  const double* w = fit.shift != 0 ? shifted.data() : columns.y.data();
  weighted_.resize(static_cast<std::size_t>(m));
  for (int i = 0; i < m; ++i) weighted_[static_cast<std::size_t>(i)] = SimpsonWeight(i, m) * w[i];
  // The circular convolution of this size equals the linear one at every
  // channel read: the longest linear sum ends at index m + channels - 2.
  fftSize_ = std::max<std::int64_t>(2, nextPowerOfTwo(std::int64_t{m} + layout_.channels - 1));
  if (fftSize_ == 0) return false;
  weightedFft_.assign(static_cast<std::size_t>(fftSize_), 0.0);
  std::copy(weighted_.begin(), weighted_.end(), weightedFft_.begin());
  realFft(weightedFft_.data(), fftSize_, 1);
  return true;
}

std::optional<ConvolutionCache::Channel> ConvolutionCache::channelOf(double x) const {
  const double t = (x - layout_.start) / layout_.delta;
  if (!(t > -0.5) || !(t < layout_.channels - 0.5)) return std::nullopt;
  const auto k = static_cast<int>(std::lround(t));
  const double gridX = layout_.start + k * layout_.delta;
  const double lag = x - gridX;
  // A few units in the last place: the channels of a file and the grid
  // start + k·delta differ by rounding only.
  const double tolerance =
      64 * std::numeric_limits<double>::epsilon() * (std::fabs(x) + std::fabs(layout_.start) + std::fabs(gridX));
  if (!(std::fabs(lag) <= tolerance)) return std::nullopt;
  return Channel{k, lag};
}

std::vector<double> ConvolutionCache::convolve(const std::vector<double>& g, const std::vector<double>& sourceFft) const {
  std::vector<double> product(static_cast<std::size_t>(fftSize_), 0.0);
  std::copy(g.begin(), g.end(), product.begin());
  realFft(product.data(), fftSize_, 1);
  const double* a = sourceFft.data();
  double* b = product.data();
  b[0] *= a[0];
  b[1] *= a[1];
  for (std::int64_t j = 2; j < fftSize_; j += 2) {
    const double re = a[j] * b[j] - a[j + 1] * b[j + 1];
    const double im = a[j] * b[j + 1] + a[j + 1] * b[j];
    b[j] = re;
    b[j + 1] = im;
  }
  realFft(product.data(), fftSize_, -1);
  const double normalise = 2.0 / static_cast<double>(fftSize_);
  product.resize(static_cast<std::size_t>(layout_.channels));
  for (double& v : product) v *= normalise;
  return product;
}

const ConvolutionCache::Curve& ConvolutionCache::valueCurve(ModelScope& scope, const Parameters& p) {
  if (auto found = values_.find(p); found != values_.end()) return found->second;
  if (values_.size() >= kMostCurves) {
    values_.clear();
    lastCurve_ = nullptr;
  }
  const NumericError before = NumericErrorState();
  ClearNumericError();
  std::vector<double> g(static_cast<std::size_t>(layout_.channels), 0.0);
  for (int j = 1; j < layout_.channels; ++j) g[static_cast<std::size_t>(j)] = TermAt(scope, j * layout_.delta, p.data());
  Curve curve{convolve(g), NumericErrorState()};
  NumericErrorState() = before;
  return values_.emplace(p, std::move(curve)).first->second;
}

std::optional<double> ConvolutionCache::value(ModelScope& scope, double x, const double* p) {
  if (!prepare(scope, x)) return std::nullopt;
  // No source point lies below x: every lag is <= 0, as in the direct sum.
  if (x <= layout_.start) return 0.0;
  const auto channel = channelOf(x);
  if (!channel) return std::nullopt;
  // Every point of a pass asks for the same curve: compare with the last
  // one before hashing.
  const int count = std::clamp(ParameterCount(scope.fit), 0, kMaxFitParameters);
  if (lastCurve_ == nullptr || std::memcmp(lastKey_.data(), p, sizeof(double) * static_cast<std::size_t>(count)) != 0) {
    lastKey_ = KeyOf(scope, p);
    lastCurve_ = &valueCurve(scope, lastKey_);
  }
  const Curve& curve = *lastCurve_;
  Reraise(curve.error);
  double sum = curve.sums[static_cast<std::size_t>(channel->k)];
  // The source point at x itself counts when rounding puts x above it.
  if (channel->lag > 0 && channel->k < layout_.sourcePoints)
    sum += weighted_[static_cast<std::size_t>(channel->k)] * TermAt(scope, channel->lag, p);
  return layout_.delta / 3 * sum / layout_.area;
}

bool ConvolutionCache::prepareDerivativeCurves(ModelScope& scope, const Parameters& p, const int* freeOnly) {
  const int count = std::min(ParameterCount(scope.fit), kMaxFitParameters);
  std::array<bool, kMaxFitParameters> wanted{};
  for (int q = 0; q < count; ++q) wanted[static_cast<std::size_t>(q)] = freeOnly == nullptr || freeOnly[q] != 0;
  if (haveDerivatives_ && std::memcmp(derivativeKey_.data(), p.data(), sizeof p) == 0) {
    bool covered = true;
    for (int q = 0; q < count; ++q) covered = covered && (!wanted[static_cast<std::size_t>(q)] || derivativeMade_[static_cast<std::size_t>(q)]);
    if (covered) return true;
  }
  const ModelFamily& family = FamilyOf(scope.fit.modelKind);
  if (family.derivatives == nullptr) return false;
  // The model's own derivatives at every lag, one curve per parameter.
  std::vector<std::vector<double>> g(static_cast<std::size_t>(count),
                                     std::vector<double>(static_cast<std::size_t>(layout_.channels), 0.0));
  ModelScope terms = scope;
  terms.termsOnly = true;
  Parameters probe = p;
  std::array<double, kMaxFitParameters> out{};
  const NumericError before = NumericErrorState();
  ClearNumericError();
  for (int j = 1; j < layout_.channels; ++j) {
    out.fill(0.0);
    out[0] = 1;
    family.derivatives(terms, j * layout_.delta - probe[1], probe.data(), out.data());
    for (int q = 0; q < count; ++q) g[static_cast<std::size_t>(q)][static_cast<std::size_t>(j)] = out[static_cast<std::size_t>(q)];
  }
  derivativeError_ = NumericErrorState();
  NumericErrorState() = before;
  derivatives_.assign(static_cast<std::size_t>(count), {});
  // A held parameter's curve is made only when someone asks for it: the
  // engine never does, and each costs two transforms.
  for (int q = 0; q < count; ++q)
    if (wanted[static_cast<std::size_t>(q)]) derivatives_[static_cast<std::size_t>(q)] = convolve(g[static_cast<std::size_t>(q)]);
  derivativeMade_ = wanted;
  derivativeKey_ = p;
  haveDerivatives_ = true;
  return true;
}

bool ConvolutionCache::valueAndDerivatives(ModelScope& scope, double x, const double* p, double& value, double* out,
                                           const int* freeOnly) {
  if (!prepare(scope, x)) return false;
  const int count = std::min(ParameterCount(scope.fit), kMaxFitParameters);
  if (FamilyOf(scope.fit.modelKind).derivatives == nullptr) return false;
  if (x <= layout_.start) {
    value = 0.0;
    std::fill(out, out + count, 0.0);
    return true;
  }
  const auto channel = channelOf(x);
  if (!channel) return false;
  const Parameters key = KeyOf(scope, p);
  const auto convolved = this->value(scope, x, p);
  if (!convolved) return false;
  value = *convolved;
  prepareDerivativeCurves(scope, key, freeOnly);
  Reraise(derivativeError_);
  const auto k = static_cast<std::size_t>(channel->k);
  std::array<double, kMaxFitParameters> atLag{};
  const bool ownPoint = channel->lag > 0 && channel->k < layout_.sourcePoints;
  if (ownPoint) {
    ModelScope terms = scope;
    terms.termsOnly = true;
    Parameters probe = key;
    atLag[0] = 1;
    FamilyOf(scope.fit.modelKind).derivatives(terms, channel->lag - probe[1], probe.data(), atLag.data());
  }
  for (int q = 0; q < count; ++q) {
    if (!derivativeMade_[static_cast<std::size_t>(q)]) {
      out[q] = 0.0;
      continue;
    }
    double sum = derivatives_[static_cast<std::size_t>(q)][k];
    if (ownPoint) sum += weighted_[k] * atLag[static_cast<std::size_t>(q)];
    out[q] = layout_.delta / 3 * sum / layout_.area;
  }
  return true;
}

std::optional<double> ConvolutionCache::shiftDerivative(ModelScope& scope, double x, const double* p) {
  if (!prepare(scope, x)) return std::nullopt;
  if (x <= layout_.start) return 0.0;
  const auto channel = channelOf(x);
  if (!channel) return std::nullopt;
  const int m = layout_.sourcePoints;
  if (slopeFft_.empty()) {
    const std::vector<double> slope = ShiftedResponseSlope(sourceColumns_.y, layout_.shift, layout_.delta);
    slopeWeighted_.resize(static_cast<std::size_t>(m));
    for (int i = 0; i < m; ++i)
      slopeWeighted_[static_cast<std::size_t>(i)] = SimpsonWeight(i, m) * slope[static_cast<std::size_t>(i)];
    slopeFft_.assign(static_cast<std::size_t>(fftSize_), 0.0);
    std::copy(slopeWeighted_.begin(), slopeWeighted_.end(), slopeFft_.begin());
    realFft(slopeFft_.data(), fftSize_, 1);
    haveShiftCurve_ = false;
  }
  const Parameters key = KeyOf(scope, p);
  if (!haveShiftCurve_ || !SameBits{}(shiftKey_, key)) {
    const NumericError before = NumericErrorState();
    ClearNumericError();
    std::vector<double> g(static_cast<std::size_t>(layout_.channels), 0.0);
    for (int j = 1; j < layout_.channels; ++j) g[static_cast<std::size_t>(j)] = TermAt(scope, j * layout_.delta, key.data());
    shiftCurve_ = Curve{convolve(g, slopeFft_), NumericErrorState()};
    NumericErrorState() = before;
    shiftKey_ = key;
    haveShiftCurve_ = true;
  }
  Reraise(shiftCurve_.error);
  double sum = shiftCurve_.sums[static_cast<std::size_t>(channel->k)];
  if (channel->lag > 0 && channel->k < m)
    sum += slopeWeighted_[static_cast<std::size_t>(channel->k)] * TermAt(scope, channel->lag, key.data());
  return layout_.delta / 3 * sum / layout_.area;
}

}  // namespace zentrel
