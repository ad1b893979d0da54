#pragma once
// Scores candidate start values against the data and keeps the best: each
// family's guess proposes a few (from different baselines, term pairings,
// grid values) and the one closest to the data wins. The parameters a
// model is linear in (y0, amplitudes) are set by least squares first, so a
// candidate is judged by its shape alone.

#include <array>
#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "fit/fit_data.h"
#include "fit/guess/guess_points.h"
#include "model/fit.h"

namespace zentrel::guess {

using Params = std::array<double, kMaxFitParameters>;

class Candidates {
 public:
  // fit: kind, order, convolution, held flags and values; its own
  // parameters are not changed.
  Candidates(const Fit& fit, const FitData& data, const GuessPoints& points);

  // A pool of its own for the same fit and points, with no candidates yet.
  Candidates emptyCopy() const {
    Candidates copy(fit_, data_, points_, original_);
    copy.products_ = products_;
    copy.admit_ = admit_;
    return copy;
  }

  bool held(int index) const { return fit_.freeFlags[static_cast<size_t>(index)] == 0; }
  // The fit's value of a parameter: what a held one keeps.
  double current(int index) const { return original_[static_cast<size_t>(index)]; }
  // x0 as the guess must use it: the fit's when held, else the proposal.
  double x0Or(double proposal) const { return held(1) ? current(1) : proposal; }
  int parameterCount() const { return count_; }

  // The squared forms are linear not in their amplitudes but in the
  // products a_j·a_k (j ≤ k) of the `terms` amplitudes at first,
  // first + stride, …: from now on, when every one of them is free, the
  // products are solved by least squares with the other linear parameters
  // and the amplitudes read off them (the sizes off the squares, the signs
  // off the largest square's row, or all alike when oneSign).
  void solveAmplitudesAsProducts(int first, int stride, int terms, bool oneSign = false);

  // Where the data cannot tell two valleys apart, the family names the one
  // it means: from now on only candidates for which `admit` holds (after
  // the linear solve) are scored and kept.
  void admitOnly(std::function<bool(const Params&)> admit) { admit_ = std::move(admit); }
  const GuessPoints& points() const { return points_; }

  // Held parameters take the fit's values; the free ones among `linear`
  // are set by least squares with the rest fixed; then p is scored. The
  // chi-square, or nothing when the model cannot be evaluated there.
  std::optional<double> propose(Params p, std::initializer_list<int> linear);
  std::optional<double> propose(Params p, const std::vector<int>& linear);

  // One parameter a refinement moves: scaled by factors round 1 when
  // shift is 0 (times, widths, exponents), else moved by ± a fraction of
  // shift (positions).
  struct Move {
    int index;
    double shift = 0;
  };
  // Improves the best few candidates (each a valley of its own, perhaps)
  // by a pattern search over the free ones of `moves` (each up and down,
  // the step halving when nothing helps), refitting `linear` at every
  // trial; the best result wins. Nonlinear parameters only: a few rounds,
  // to bring a start into the right valley, not to fit.
  void refine(const std::vector<Move>& moves, const std::vector<int>& linear, int rounds = 6);

  bool found() const { return best_.has_value(); }
  const Params& best() const { return *best_; }
  // The best few distinct candidates, best first.
  std::vector<Params> leading() const;
  double bestChiSquare() const { return bestChi_; }

  // The model at every point for p; nothing on a math error or a value
  // that is not finite.
  std::optional<std::vector<double>> evaluate(const Params& p);

 private:
  struct Scored {
    double chiSquare;
    Params params;
  };
  // Held values in, linear parameters solved, scored; what was scored.
  Candidates(const Fit& fit, const FitData& data, const GuessPoints& points, const Params& original);
  std::optional<Scored> assess(Params p, const std::vector<int>& linear);
  std::optional<double> score(const Params& p);
  bool solveLinear(Params& p, const std::vector<int>& linear);
  // The model less its value at `base`, for p with the amplitudes in
  // `ones` set to 1 and the other product amplitudes 0.
  std::optional<std::vector<double>> productColumn(const Params& base, const std::vector<double>& constant,
                                                   std::initializer_list<int> ones);
  bool productsApply() const;
  void remember(const Scored& scored);

  Fit fit_;  // its parameters are those of the last evaluation
  FitData data_;
  const GuessPoints& points_;
  int count_;
  Params original_;  // the fit's parameters as given
  struct Products {
    int first = 0, stride = 0, terms = 0;
    bool oneSign = false;
  };
  std::optional<Products> products_;
  std::function<bool(const Params&)> admit_;
  std::optional<Params> best_;
  double bestChi_ = 0;
  // The best few distinct candidates, best first: where refine starts.
  std::vector<Scored> leaders_;
};

}  // namespace zentrel::guess
