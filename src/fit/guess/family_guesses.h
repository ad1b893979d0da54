#pragma once
// Each family's guess: it proposes candidates (guess/candidates.h) and the
// best one is taken. A guess returns why the data cannot be read as its
// family, or an empty text when it proposed what it could.

#include <string>
#include <vector>

#include "fit/guess/candidates.h"
#include "fit/guess/guess_points.h"

namespace zentrel::guess {

struct GuessContext {
  const Fit& fit;
  Candidates& candidates;
  const GuessPoints& points;
  double noise;  // NoiseLevel of the points' y
  int order() const { return fit.order; }
};

// Candidate rate sets (each n rates, slowest first) for n exponential terms
// of y on x: by integration, by peeling off `baseline`, and one rate
// spread out by factors of 4.
std::vector<std::vector<double>> DecayRateCandidates(const std::vector<double>& x, const std::vector<double>& y, int n,
                                                     double baseline, double noise);
// The baseline a decay settles to: the held y0, else the mean of the
// last tenth of the points.
double DecayBaseline(const GuessContext& context, const std::vector<double>& y);
// The baselines worth trying: DecayBaseline, and with y0 free also the
// lowest point of a smoothed copy (a decay cut off before it settles).
std::vector<double> DecayBaselines(const GuessContext& context, const std::vector<double>& y);

std::string GuessExponential(GuessContext& context);
std::string GuessSquaredExponential(GuessContext& context);
std::string GuessPolynomial(GuessContext& context);
std::string GuessPeaks(GuessContext& context);  // Gaussian and Lorentzian
std::string GuessStretched(GuessContext& context);
std::string GuessSquaredStretched(GuessContext& context);
std::string GuessPowerLaw(GuessContext& context);
std::string GuessMctPowerLaws(GuessContext& context);
std::string GuessDualSided(GuessContext& context);
std::string GuessExpConvGaussian(GuessContext& context);  // also Gauss plus and the squared form
std::string GuessSquaredExpConvDualSided(GuessContext& context);

// Indices of the model's linear parameters: y0 and every `stride`-th from
// `first` for `terms` terms.
std::vector<int> LinearIndices(int first, int stride, int terms);

}  // namespace zentrel::guess
