#pragma once
// Radix-2 fast Fourier transforms on plain double arrays, shared by the
// power spectrum, the Fourier transform and the FFT convolution.
//
// Layouts (0-based here):
// - complex array of n points: 2n doubles, re0 im0 re1 im1 ...
// - packed real transform of n real points: [0] = the zero-frequency value,
//   [1] = the (real) value at n/2, then [2k], [2k+1] = re and im of
//   frequency k for k = 1 .. n/2 - 1.
// Direction +1 computes sum_j h_j exp(+2 pi i j k / n), direction -1 the
// same with exp(-2 pi i j k / n). Nothing is normalised except where noted.

#include <cstdint>

namespace zentrel {

// The smallest 2^k >= n (1 for n <= 1); 0 when k would be 32 or more.
std::int64_t nextPowerOfTwo(std::int64_t n);

// In place: n complex points (n a power of two), direction +1 or -1.
void complexFft(double* data, std::int64_t n, int direction);

// In place: n real points (n a power of two, at least 2) to the packed
// layout (direction +1), or the packed layout back to real points
// (direction -1) with a factor 1/2, so that a forward and an inverse
// transform multiply the data by n/2.
void realFft(double* data, std::int64_t n, int direction);

// The direction +1 transforms of two real arrays of n points at once, with
// one complex transform of size n; fa and fb receive n complex points each
// (2n doubles). a and b may not overlap fa or fb.
void twoRealFft(const double* a, const double* b, double* fa, double* fb, std::int64_t n);

}  // namespace zentrel
