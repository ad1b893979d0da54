#pragma once
// Frequency-domain data sets from evenly spaced ones: the one-sided power
// spectrum in decibels, the complex Fourier transform of a (real,
// imaginary) set pair, and what the Fourier Transform command derives from
// its result: a two-sided power spectrum, amplitude and phase.

#include <memory>
#include <string>
#include <utility>

#include "util/progress.h"

namespace zentrel {

class Data_Set;

inline constexpr const char* kFftCompleted = "FFT completed";

inline constexpr const char* kFftCancelled = "FFT cancelled";

struct PowerSpectrumResult {
  std::string message;              // kFftCompleted, kFftCancelled or what went wrong
  std::unique_ptr<Data_Set> set;    // none on failure
};

// Refuses a set holding a non-finite x or y (and leaves it unsorted).
// Sorts `source` by x, zero-pads it to the next power of two N and gives
// N/2 + 1 points from frequency 0 to 1 / (2 spacing), named
// "power spectrum of <name>".
// `progress` hears before and after the transform and may cancel there.
PowerSpectrumResult powerSpectrum(Data_Set& source, const ProgressCallback& progress = {});

struct FourierResult {
  std::string message;
  std::unique_ptr<Data_Set> real, imaginary;  // both or neither
};

// Transforms real + i * imaginary (either may be null, meaning all zero) in
// `direction` +1 or -1. Refuses sets holding a non-finite x or y, before
// anything is sorted. Sorts the given sets by x. Each result has N + 1
// points from -1/(2 spacing) to +1/(2 spacing), scaled by the spacing and
// rotated to the first x as the phase origin.
// `progress` as for powerSpectrum.
FourierResult fourierTransform(Data_Set* real, Data_Set* imaginary, int direction,
                               const ProgressCallback& progress = {});

// From the two result sets of fourierTransform: N/2 + 1 points of
// 10 log10(|X(f)|^2 + |X(-f)|^2) / N^2 for f >= 0, named "Power spectrum".
std::unique_ptr<Data_Set> twoSidedPowerSpectrum(const Data_Set& real, const Data_Set& imaginary);

// "Amplitude" sqrt(re^2 + im^2) and "Phase" atan2(im, re) (0 where the
// amplitude is below 1e-9), at the x values of `real`.
std::pair<std::unique_ptr<Data_Set>, std::unique_ptr<Data_Set>> amplitudeAndPhase(const Data_Set& real,
                                                                                 const Data_Set& imaginary);

}  // namespace zentrel
