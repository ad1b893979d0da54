#include "numeric/fft.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>
#include <utility>
#include <vector>

namespace zentrel {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Groups of at most this many complex points (128 KiB) are carried through
// all their stages before the next group starts, so the early stages run
// in cache instead of streaming the whole array once per stage.
constexpr std::int64_t kBlockPoints = std::int64_t{1} << 13;

// Decimation in time after a bit-reversal permutation: an optional radix-2
// stage first (odd log2 n), then radix-4 stages. A stage combines `radix`
// transforms of length `length` into one of length radix * length.
struct Stage {
  std::int64_t length;
  int radix;
  std::size_t twiddleOffset;  // into Plan::twiddles, 6 doubles per k
};

struct Plan {
  std::int64_t n = 0;
  std::vector<Stage> stages;
  // Per radix-4 stage and k < length: w, w^2, w^3 (re, im) for
  // w = exp(+2 pi i k / (4 length)). Computed directly, not by recurrence,
  // so they carry no accumulated rounding.
  std::vector<double> twiddles;
  std::int64_t blockGroup = 1;  // the largest stage group done blockwise
};

std::unique_ptr<Plan> MakePlan(std::int64_t n) {
  auto plan = std::make_unique<Plan>();
  plan->n = n;
  int levels = 0;
  while ((std::int64_t{1} << levels) < n) ++levels;
  std::int64_t length = 1;
  if (levels % 2 == 1) {
    plan->stages.push_back({1, 2, 0});
    length = 2;
  }
  for (; length < n; length *= 4) {
    Stage stage{length, 4, plan->twiddles.size()};
    const double step = kTwoPi / static_cast<double>(4 * length);
    for (std::int64_t k = 0; k < length; ++k) {
      for (int power = 1; power <= 3; ++power) {
        const double angle = step * static_cast<double>(power * k);
        plan->twiddles.push_back(std::cos(angle));
        plan->twiddles.push_back(std::sin(angle));
      }
    }
    plan->stages.push_back(stage);
  }
  for (const Stage& stage : plan->stages) {
    const std::int64_t group = stage.length * stage.radix;
    if (group <= kBlockPoints) plan->blockGroup = group;
  }
  return plan;
}

// exp(+2 pi i k / n) for k = 0 .. n/4 - 1: the recombination twiddles of the
// real transform of n points.
std::unique_ptr<std::vector<double>> MakeRealTwiddles(std::int64_t n) {
  auto table = std::make_unique<std::vector<double>>();
  const std::int64_t quarter = n / 4;
  table->reserve(static_cast<std::size_t>(2 * quarter));
  const double step = kTwoPi / static_cast<double>(n);
  for (std::int64_t k = 0; k < quarter; ++k) {
    table->push_back(std::cos(step * static_cast<double>(k)));
    table->push_back(std::sin(step * static_cast<double>(k)));
  }
  return table;
}

// Tables are built once per size and shared; sizes are powers of two, so
// there are never more than a few dozen.
template <typename T, typename Make>
std::shared_ptr<const T> Cached(std::int64_t n, Make make) {
  static std::mutex mutex;
  static std::map<std::int64_t, std::shared_ptr<const T>> cache;
  std::lock_guard lock(mutex);
  auto& slot = cache[n];
  if (!slot) slot = make(n);
  return slot;
}

std::int64_t ReverseBits(std::int64_t value, int bits) {
  std::int64_t out = 0;
  for (int b = 0; b < bits; ++b) out |= ((value >> b) & 1) << (bits - 1 - b);
  return out;
}

// Element-wise swaps jump across the whole array for every pair, which is
// slow once it outgrows the cache. Split each index into high, middle and
// low parts (a, b, c): its reverse is (rev c, rev b, rev a). The 16 x 16
// elements sharing one b form a tile of 16 contiguous runs; tile b and tile
// rev b trade places through two small buffers, run by run.
void BitReverseTiled(double* d, int levels) {
  constexpr int q = 4;
  constexpr std::int64_t side = std::int64_t{1} << q;
  const int middle = levels - 2 * q;
  const int highShift = levels - q;
  std::int64_t revQ[side];
  for (std::int64_t v = 0; v < side; ++v) revQ[v] = ReverseBits(v, q);
  double first[2 * side * side], second[2 * side * side];
  auto load = [&](double* buffer, std::int64_t b) {
    for (std::int64_t a = 0; a < side; ++a) {
      const double* run = d + 2 * ((a << highShift) | (b << q));
      std::copy(run, run + 2 * side, buffer + 2 * a * side);
    }
  };
  // Element (a, c) of the tile of b goes to (rev c, rb, rev a).
  auto store = [&](const double* buffer, std::int64_t rb) {
    for (std::int64_t c = 0; c < side; ++c) {
      double* run = d + 2 * ((revQ[c] << highShift) | (rb << q));
      for (std::int64_t a = 0; a < side; ++a) {
        run[2 * revQ[a]] = buffer[2 * (a * side + c)];
        run[2 * revQ[a] + 1] = buffer[2 * (a * side + c) + 1];
      }
    }
  };
  const std::int64_t tiles = std::int64_t{1} << middle;
  for (std::int64_t b = 0; b < tiles; ++b) {
    const std::int64_t rb = ReverseBits(b, middle);
    if (rb < b) continue;
    load(first, b);
    if (rb != b) {
      load(second, rb);
      store(second, b);
    }
    store(first, rb);
  }
}

void BitReverse(double* d, std::int64_t n) {
  int levels = 0;
  while ((std::int64_t{1} << levels) < n) ++levels;
  if (levels >= 8) {
    BitReverseTiled(d, levels);
    return;
  }
  std::int64_t j = 0;
  for (std::int64_t i = 0; i < n; ++i) {
    if (i < j) {
      std::swap(d[2 * i], d[2 * j]);
      std::swap(d[2 * i + 1], d[2 * j + 1]);
    }
    std::int64_t bit = n >> 1;
    while (bit > 0 && (j & bit)) {
      j ^= bit;
      bit >>= 1;
    }
    j |= bit;
  }
}

// Length-1 pairs: (x0 + x1, x0 - x1).
void Radix2First(double* d, std::int64_t begin, std::int64_t end) {
  for (std::int64_t p = begin; p < end; p += 2) {
    double* a = d + 2 * p;
    const double ar = a[0], ai = a[1], br = a[2], bi = a[3];
    a[0] = ar + br;
    a[1] = ai + bi;
    a[2] = ar - br;
    a[3] = ai - bi;
  }
}

// After the bit reversal the four quarters of a group hold the transforms
// of the points with index 0, 2, 1 and 3 (mod 4) in that order.
template <bool Inverse>
inline void Butterfly4(double* q0, double* q1, double* q2, double* q3, double ar, double ai, double br, double bi,
                       double cr, double ci, double dr, double di) {
  // a, b, c, d: the quarters for residues 0, 1, 2, 3, already twiddled.
  const double t0r = ar + cr, t0i = ai + ci;
  const double t1r = ar - cr, t1i = ai - ci;
  const double t2r = br + dr, t2i = bi + di;
  const double t3r = br - dr, t3i = bi - di;
  q0[0] = t0r + t2r;
  q0[1] = t0i + t2i;
  q2[0] = t0r - t2r;
  q2[1] = t0i - t2i;
  // X1 = t1 + J t3 and X3 = t1 - J t3 with J = +i forwards, -i inverse.
  if constexpr (!Inverse) {
    q1[0] = t1r - t3i;
    q1[1] = t1i + t3r;
    q3[0] = t1r + t3i;
    q3[1] = t1i - t3r;
  } else {
    q1[0] = t1r + t3i;
    q1[1] = t1i - t3r;
    q3[0] = t1r - t3i;
    q3[1] = t1i + t3r;
  }
}

template <bool Inverse>
void Radix4First(double* d, std::int64_t begin, std::int64_t end) {
  for (std::int64_t p = begin; p < end; p += 4) {
    double* q = d + 2 * p;
    Butterfly4<Inverse>(q, q + 2, q + 4, q + 6, q[0], q[1], q[4], q[5], q[2], q[3], q[6], q[7]);
  }
}

template <bool Inverse>
void Radix4Group(double* d, std::int64_t p, std::int64_t length, const double* tw) {
  double* q0 = d + 2 * p;
  double* q1 = q0 + 2 * length;
  double* q2 = q1 + 2 * length;
  double* q3 = q2 + 2 * length;
  constexpr double s = Inverse ? -1.0 : 1.0;
  for (std::int64_t k = 0; k < length; ++k) {
    const double* w = tw + 6 * k;
    const double w1r = w[0], w1i = s * w[1], w2r = w[2], w2i = s * w[3], w3r = w[4], w3i = s * w[5];
    const std::int64_t at = 2 * k;
    // Residue 1 sits in the third quarter, residue 2 in the second.
    const double x1r = q2[at], x1i = q2[at + 1];
    const double x2r = q1[at], x2i = q1[at + 1];
    const double x3r = q3[at], x3i = q3[at + 1];
    const double br = w1r * x1r - w1i * x1i, bi = w1r * x1i + w1i * x1r;
    const double cr = w2r * x2r - w2i * x2i, ci = w2r * x2i + w2i * x2r;
    const double dr = w3r * x3r - w3i * x3i, di = w3r * x3i + w3i * x3r;
    Butterfly4<Inverse>(q0 + at, q1 + at, q2 + at, q3 + at, q0[at], q0[at + 1], br, bi, cr, ci, dr, di);
  }
}

template <bool Inverse>
void RunStage(double* d, const Plan& plan, std::size_t s, std::int64_t begin, std::int64_t end) {
  const Stage& stage = plan.stages[s];
  if (stage.radix == 2) {
    Radix2First(d, begin, end);
  } else if (stage.length == 1) {
    Radix4First<Inverse>(d, begin, end);
  } else {
    const double* tw = plan.twiddles.data() + stage.twiddleOffset;
    const std::int64_t group = 4 * stage.length;
    for (std::int64_t p = begin; p < end; p += group) Radix4Group<Inverse>(d, p, stage.length, tw);
  }
}

// Stages 0..s for the one group of stage s that starts at p, depth first,
// so each group is finished while its data is still in cache.
template <bool Inverse>
void RunGroup(double* d, const Plan& plan, std::size_t s, std::int64_t p) {
  const Stage& stage = plan.stages[s];
  const std::int64_t group = stage.length * stage.radix;
  if (group <= plan.blockGroup) {
    for (std::size_t t = 0; t <= s; ++t) RunStage<Inverse>(d, plan, t, p, p + group);
    return;
  }
  for (int r = 0; r < stage.radix; ++r) RunGroup<Inverse>(d, plan, s - 1, p + r * stage.length);
  RunStage<Inverse>(d, plan, s, p, p + group);
}

}  // namespace

std::int64_t nextPowerOfTwo(std::int64_t n) {
  int k = 0;
  while (k < 32 && (std::int64_t{1} << k) < n) ++k;
  if (k >= 32) return 0;
  return std::int64_t{1} << k;
}

void complexFft(double* data, std::int64_t n, int direction) {
  if (n < 2) return;
  const auto plan = Cached<Plan>(n, MakePlan);
  BitReverse(data, n);
  const std::size_t last = plan->stages.size() - 1;
  if (direction >= 0)
    RunGroup<false>(data, *plan, last, 0);
  else
    RunGroup<true>(data, *plan, last, 0);
}

void realFft(double* data, std::int64_t n, int direction) {
  if (n < 2) return;
  const std::int64_t half = n / 2;
  const bool forward = direction >= 0;
  if (forward) complexFft(data, half, +1);
  if (n >= 8) {
    const auto table = Cached<std::vector<double>>(n, MakeRealTwiddles);
    const double* tw = table->data();
    const double c2 = forward ? -0.5 : 0.5;
    const double s = forward ? 1.0 : -1.0;
    // Frequency k pairs with half - k; the middle one (k = n/4) is its own
    // partner and needs no change.
    for (std::int64_t k = 1; k < n / 4; ++k) {
      const std::int64_t i = 2 * k, j = 2 * (half - k);
      const double wr = tw[2 * k], wi = s * tw[2 * k + 1];
      const double h1r = 0.5 * (data[i] + data[j]);
      const double h1i = 0.5 * (data[i + 1] - data[j + 1]);
      const double h2r = -c2 * (data[i + 1] + data[j + 1]);
      const double h2i = c2 * (data[i] - data[j]);
      data[i] = h1r + wr * h2r - wi * h2i;
      data[i + 1] = h1i + wr * h2i + wi * h2r;
      data[j] = h1r - wr * h2r + wi * h2i;
      data[j + 1] = -h1i + wr * h2i + wi * h2r;
    }
  }
  const double h1r = data[0];
  if (forward) {
    data[0] = h1r + data[1];
    data[1] = h1r - data[1];
  } else {
    data[0] = 0.5 * (h1r + data[1]);
    data[1] = 0.5 * (h1r - data[1]);
    complexFft(data, half, -1);
  }
}

void twoRealFft(const double* a, const double* b, double* fa, double* fb, std::int64_t n) {
  for (std::int64_t j = 0; j < n; ++j) {
    fa[2 * j] = a[j];
    fa[2 * j + 1] = b[j];
  }
  complexFft(fa, n, +1);
  // Z = A + iB with A and B Hermitian: A_k = (Z_k + conj Z_{n-k}) / 2,
  // B_k = (Z_k - conj Z_{n-k}) / 2i.
  fb[0] = fa[1];
  fb[1] = 0.0;
  fa[1] = 0.0;
  for (std::int64_t k = 1; 2 * k <= n; ++k) {
    const std::int64_t i = 2 * k, j = 2 * (n - k);
    const double zr = fa[i], zi = fa[i + 1], yr = fa[j], yi = fa[j + 1];
    const double ar = 0.5 * (zr + yr), ai = 0.5 * (zi - yi);
    const double br = 0.5 * (zi + yi), bi = -0.5 * (zr - yr);
    fa[i] = ar;
    fa[i + 1] = ai;
    fa[j] = ar;
    fa[j + 1] = -ai;
    fb[i] = br;
    fb[i + 1] = bi;
    fb[j] = br;
    fb[j + 1] = -bi;
  }
}

}  // namespace zentrel
