#pragma once
// A convolved fit's values and derivatives for every channel at once.
//
// The convolved model at x is a Simpson-weighted sum over the source set's
// points at strictly positive lags (model.cpp, ConvolvedValue). When x lies
// on the source's grid (x = x_s0 + k·delta, the usual case: the decay and
// its response share their channels), the sums for all k are one linear
// convolution of the weighted source with the model sampled at the lags
// j·delta, which an FFT gives in O((N+M) log(N+M)) instead of O(N·M). The
// cache keeps the curves of the parameter vectors asked for lately, so an
// engine that asks point by point — and Ridders' probes, which ask the same
// parameter vectors at every point — pays for each curve once.
//
// The derivative of a convolution is the convolution of the derivative, so
// families with analytic derivatives get every derivative curve from one
// pass over the lags. Values off the grid are left to the direct sum.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "fit/fit_data.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {

struct ModelScope;
class Data_Set;

class ConvolutionCache {
 public:
  // The convolved value at x for parameters p (kMaxFitParameters doubles);
  // nullopt when x is not on the source's grid or there is nothing to
  // convolve with.
  std::optional<double> value(ModelScope& scope, double x, const double* p);
  // The value and out[0..count-1], the derivatives with respect to every
  // parameter; false when x is off the grid or the family has no analytic
  // derivatives (the caller differentiates numerically). With freeOnly,
  // the parameters whose flag is 0 get 0 instead of their derivative.
  bool valueAndDerivatives(ModelScope& scope, double x, const double* p, double& value, double* out,
                           const int* freeOnly = nullptr);
  // The derivative at x with respect to the response's shift
  // (fit/response_shift.h); nullopt when x is off the grid or there is
  // nothing to convolve with.
  std::optional<double> shiftDerivative(ModelScope& scope, double x, const double* p);
  // Forgets every curve: a restarted fit or a changed source.
  void clear();

 private:
  using Parameters = std::array<double, kMaxFitParameters>;
  // Parameters match by their bits, so a NaN finds its own curve again.
  struct ParametersHash {
    std::size_t operator()(const Parameters& p) const;
  };
  struct SameBits {
    bool operator()(const Parameters& a, const Parameters& b) const;
  };
  struct Curve {
    std::vector<double> sums;  // unscaled Simpson sums by channel
    NumericError error;        // what the model raised while making it
  };
  // What every curve depends on besides the parameters.
  struct Layout {
    const Data_Set* source = nullptr;
    int sourcePoints = 0;
    double start = 0, delta = 0, area = 0;
    double shift = 0;  // the response's, which the weighted source holds
    int channels = 0;  // curves cover k = 0 .. channels-1
    int kind = -1, order = 0;
    std::string formula;
    bool operator==(const Layout&) const = default;
  };
  struct Channel {
    int k;
    double lag;  // x - (start + k·delta), as the direct sum computes it
  };

  // False when the fit has nothing to convolve with.
  bool prepare(ModelScope& scope, double x);
  std::optional<Channel> channelOf(double x) const;
  const Curve& valueCurve(ModelScope& scope, const Parameters& p);
  bool prepareDerivativeCurves(ModelScope& scope, const Parameters& p, const int* freeOnly);
  // The linear convolution of the weighted source with g (g[0] is lag 0,
  // never counted), scaled by delta / 3 / area, for k = 0 .. channels-1.
  std::vector<double> convolve(const std::vector<double>& g) const { return convolve(g, weightedFft_); }
  // The same with another transformed source.
  std::vector<double> convolve(const std::vector<double>& g, const std::vector<double>& sourceFft) const;

  Layout layout_;
  double lastSourceX_ = 0;  // the source's largest x when the layout was made
  // Points up to here lie on curves of this layout (-inf: no layout).
  double reachX_ = -std::numeric_limits<double>::infinity();
  // The source's columns in ascending x, read again only when the source
  // or its point count changes (or after clear).
  const Data_Set* orderedSource_ = nullptr;
  FitData sourceColumns_;
  std::vector<double> weighted_;       // Simpson weight × source y
  std::vector<double> weightedFft_;    // its packed real transform
  std::int64_t fftSize_ = 0;
  std::unordered_map<Parameters, Curve, ParametersHash, SameBits> values_;
  // The curve the last lookup found (nodes of values_ stay put until cleared).
  Parameters lastKey_{};
  const Curve* lastCurve_ = nullptr;
  Parameters derivativeKey_{};
  bool haveDerivatives_ = false;
  std::vector<std::vector<double>> derivatives_;  // by parameter index; empty where not made
  std::array<bool, kMaxFitParameters> derivativeMade_{};
  NumericError derivativeError_;
  // The shift's derivative: Simpson weight × d(shifted y)/d shift, its
  // transform (made on first use) and the curve of the last parameters.
  std::vector<double> slopeWeighted_;
  std::vector<double> slopeFft_;
  Parameters shiftKey_{};
  bool haveShiftCurve_ = false;
  Curve shiftCurve_;
};

}  // namespace zentrel
