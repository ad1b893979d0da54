#include "fit/guess/candidates.h"

#include <cmath>
#include <utility>

#include "fit/fit_parameters.h"
#include "fit/guess/least_squares.h"
#include "fit/model.h"
#include "numeric/numeric_error.h"

namespace zentrel::guess {

Candidates::Candidates(const Fit& fit, const FitData& data, const GuessPoints& points)
    : Candidates(fit, data, points, fit.params) {}

Candidates::Candidates(const Fit& fit, const FitData& data, const GuessPoints& points, const Params& original)
    : fit_(fit), data_(data), points_(points), count_(ParameterCount(fit)), original_(original) {}

std::optional<std::vector<double>> Candidates::evaluate(const Params& p) {
  for (int i = 0; i < count_; ++i)
    if (!std::isfinite(p[static_cast<size_t>(i)])) return std::nullopt;
  fit_.params = p;
  fit_.errorCode = 0;
  ClearNumericError();
  FitModel model(fit_, data_);
  std::vector<double> values(points_.x.size());
  for (size_t i = 0; i < values.size(); ++i) {
    values[i] = model(points_.x[i]);
    if (!std::isfinite(values[i])) return std::nullopt;
  }
  if (NumericErrorState().code != kNoNumericError || fit_.errorCode != 0) return std::nullopt;
  return values;
}

std::optional<double> Candidates::score(const Params& p) {
  if (admit_ && !admit_(p)) return std::nullopt;
  const auto values = evaluate(p);
  if (!values) return std::nullopt;
  double chi = 0;
  for (size_t i = 0; i < values->size(); ++i) {
    const double r = points_.y[i] - (*values)[i];
    chi += r * r;
  }
  if (!std::isfinite(chi)) return std::nullopt;
  remember({chi, p});
  return chi;
}

void Candidates::remember(const Scored& scored) {
  if (!best_ || scored.chiSquare < bestChi_) {
    best_ = scored.params;
    bestChi_ = scored.chiSquare;
  }
  constexpr size_t kLeaders = 3;
  // Candidates that score alike are one valley.
  for (const Scored& leader : leaders_)
    if (std::fabs(leader.chiSquare - scored.chiSquare) <= 1e-9 * (leader.chiSquare + scored.chiSquare)) return;
  auto at = leaders_.begin();
  while (at != leaders_.end() && at->chiSquare <= scored.chiSquare) ++at;
  if (static_cast<size_t>(at - leaders_.begin()) >= kLeaders) return;
  leaders_.insert(at, scored);
  if (leaders_.size() > kLeaders) leaders_.pop_back();
}

void Candidates::solveAmplitudesAsProducts(int first, int stride, int terms, bool oneSign) {
  products_ = Products{first, stride, terms, oneSign};
}

bool Candidates::productsApply() const {
  if (!products_ || products_->terms < 1) return false;
  for (int k = 0; k < products_->terms; ++k) {
    const int index = products_->first + products_->stride * k;
    if (index >= count_ || held(index)) return false;
  }
  return true;
}

std::optional<std::vector<double>> Candidates::productColumn(const Params& base, const std::vector<double>& constant,
                                                             std::initializer_list<int> ones) {
  Params unit = base;
  for (int k : ones) unit[static_cast<size_t>(products_->first + products_->stride * k)] = 1;
  auto values = evaluate(unit);
  if (!values) return std::nullopt;
  for (size_t i = 0; i < values->size(); ++i) (*values)[i] -= constant[i];
  return values;
}

bool Candidates::solveLinear(Params& p, const std::vector<int>& linear) {
  const bool products = productsApply();
  std::vector<int> free;
  for (int index : linear)
    if (index < count_ && !held(index)) free.push_back(index);
  if (free.empty() && !products) return true;
  Params base = p;
  for (int index : free) base[static_cast<size_t>(index)] = 0;
  const int n = products ? products_->terms : 0;
  auto amplitude = [&](int k) -> double& { return base[static_cast<size_t>(products_->first + products_->stride * k)]; };
  for (int k = 0; k < n; ++k) amplitude(k) = 0;
  const auto constant = evaluate(base);
  if (!constant) return false;
  std::vector<std::vector<double>> columns;
  for (int index : free) {
    Params unit = base;
    unit[static_cast<size_t>(index)] = 1;
    auto values = evaluate(unit);
    if (!values) return false;
    for (size_t i = 0; i < values->size(); ++i) (*values)[i] -= (*constant)[i];
    columns.push_back(std::move(*values));
  }
  // With a_j = a_k = 1 the model holds both squares and the cross term
  // once: the cross term's column is that less the two squares.
  std::vector<std::vector<double>> squares;
  for (int k = 0; k < n; ++k) {
    auto square = productColumn(base, *constant, {k});
    if (!square) return false;
    squares.push_back(std::move(*square));
  }
  std::vector<std::pair<int, int>> pairs;
  for (int j = 0; j < n; ++j)
    for (int k = j; k < n; ++k) {
      if (j == k) {
        columns.push_back(squares[static_cast<size_t>(j)]);
      } else {
        auto both = productColumn(base, *constant, {j, k});
        if (!both) return false;
        for (size_t i = 0; i < both->size(); ++i)
          (*both)[i] -= squares[static_cast<size_t>(j)][i] + squares[static_cast<size_t>(k)][i];
        columns.push_back(std::move(*both));
      }
      pairs.emplace_back(j, k);
    }
  std::vector<double> rhs(points_.y.size());
  for (size_t i = 0; i < rhs.size(); ++i) rhs[i] = points_.y[i] - (*constant)[i];
  const auto solution = LeastSquares(columns, rhs);
  if (!solution) return false;
  for (size_t j = 0; j < free.size(); ++j) p[static_cast<size_t>(free[j])] = (*solution)[j];
  if (n == 0) return true;
  auto product = [&](int j, int k) {
    if (j > k) std::swap(j, k);
    for (size_t m = 0; m < pairs.size(); ++m)
      if (pairs[m] == std::make_pair(j, k)) return (*solution)[free.size() + m];
    return 0.0;
  };
  // The signs are relative: the term the data shows most sets them. A
  // negative square is noise on a term the data barely shows.
  int reference = 0;
  for (int k = 1; k < n; ++k)
    if (std::fabs(product(k, k)) > std::fabs(product(reference, reference))) reference = k;
  for (int k = 0; k < n; ++k) {
    const double sign = products_->oneSign || k == reference || product(reference, k) >= 0 ? 1.0 : -1.0;
    p[static_cast<size_t>(products_->first + products_->stride * k)] = sign * std::sqrt(std::fabs(product(k, k)));
  }
  return true;
}

std::optional<double> Candidates::propose(Params p, std::initializer_list<int> linear) {
  return propose(p, std::vector<int>(linear));
}

std::optional<double> Candidates::propose(Params p, const std::vector<int>& linear) {
  const auto scored = assess(p, linear);
  if (!scored) return std::nullopt;
  return scored->chiSquare;
}

std::optional<Candidates::Scored> Candidates::assess(Params p, const std::vector<int>& linear) {
  for (int i = 0; i < count_; ++i)
    if (held(i)) p[static_cast<size_t>(i)] = current(i);
  for (int i = count_; i < kMaxFitParameters; ++i) p[static_cast<size_t>(i)] = 0;
  // A candidate whose linear system is singular (two equal terms) is
  // still scored as proposed.
  Params solved = p;
  if (solveLinear(solved, linear))
    if (auto chi = score(solved)) return Scored{*chi, solved};
  if (auto chi = score(p)) return Scored{*chi, p};
  return std::nullopt;
}

void Candidates::refine(const std::vector<Move>& moves, const std::vector<int>& linear, int rounds) {
  const std::vector<Scored> starts = leaders_;
  for (Scored here : starts) {
    double step = 0.3;
    for (int round = 0; round < rounds; ++round) {
      bool improved = false;
      for (const Move& move : moves) {
        if (move.index >= count_ || held(move.index)) continue;
        for (int direction : {1, -1}) {
          Params trial = here.params;
          double& value = trial[static_cast<size_t>(move.index)];
          if (move.shift != 0) value += direction * step * move.shift;
          else value = direction > 0 ? value * (1 + step) : value / (1 + step);
          const auto scored = assess(trial, linear);
          if (scored && scored->chiSquare < here.chiSquare) {
            here = *scored;
            improved = true;
          }
        }
      }
      if (!improved) step /= 2;
    }
  }
}

std::vector<Params> Candidates::leading() const {
  std::vector<Params> out;
  for (const Scored& leader : leaders_) out.push_back(leader.params);
  return out;
}

}  // namespace zentrel::guess
