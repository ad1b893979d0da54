#pragma once
// Convolution and deconvolution of a signal with an instrument response by
// FFT (cyclic, not normalised by the response's area or the spacing).

#include <cstdint>
#include <memory>

#include "util/progress.h"

namespace zentrel {

class Data_Set;

struct ConvolveOutcome {
  bool ok = false;                  // false: bad direction or no memory
  std::int64_t responseZeros = 0;   // deconvolution: frequencies where the response's transform is 0
};

// data: n real values (n a power of two). response: room for n values, the
// first m (m odd, m <= n) in wrap-around order: [0] zero lag, [1 .. (m-1)/2]
// positive lags, [m-1] down to [(m+1)/2] negative lags; it is rearranged
// in place to the full wrap-around layout of n values. direction +1
// convolves, -1 deconvolves (a zero of the response's transform is
// reported on the error stream and leaves non-finite values). result
// receives n values.
ConvolveOutcome convolveArrays(const double* data, std::int64_t n, double* response, std::int64_t m, int direction,
                               double* result);

// The same with the response already laid out over all n values: zero lag
// at [0], positive lags after it, negative lags at the end.
ConvolveOutcome convolveWrapped(const double* data, const double* response, std::int64_t n, int direction,
                                double* result);

struct ConvolutionResult {
  std::unique_ptr<Data_Set> set;  // none when a set is too short or memory ran out
  std::int64_t zeroedPoints = 0;  // output values that were not finite and became 0
  bool responseZero = false;      // deconvolution met a zero of the response's transform
  bool cancelled = false;         // `progress` answered false
};

// Convolves (direction +1) or deconvolves (-1) the longer of the two sets
// (the signal) with the shorter (the response), on sorted copies. The
// response's point nearest x = 0 is the zero lag; an even response drops its
// last point. The signal is padded to a power of two N with a tail that
// decays from its last value. N points, named "Convolution of S and P" or
// "Deconvolution of S and P".
// `progress` hears before and after the transforms and may cancel there.
ConvolutionResult convolveSets(const Data_Set& signal, const Data_Set& response, int direction,
                               const ProgressCallback& progress = {});

}  // namespace zentrel
