#include "model/autoscale.h"

#include <algorithm>
#include <cmath>

#include "model/document.h"

namespace zentrel {

namespace {

// The range of one axis over the active sets. Only finite values count:
// one infinity or NaN (a -inf dB bin of a power spectrum) would otherwise
// make the whole range infinite or undefined and hide every set.
class AxisScan {
 public:
  explicit AxisScan(bool log) : log_(log) {}

  void take(const Data_Set& set, int column) {
    const int n = set.PointCount(column);
    const double* v = set.ColumnData(column);
    bool any = false;
    double lowest = 0.0, highest = 0.0, lowestPositive = 0.0;
    bool anyPositive = false;
    for (int i = 0; i < n; ++i) {
      const double value = v[i];
      if (!std::isfinite(value)) continue;
      if (!any) {
        any = true;
        lowest = highest = value;
        // The first value a set offers seeds the range; on a logarithmic
        // axis a value <= 0 seeds it with 1 instead.
        if (!seeded_) {
          seeded_ = true;
          lo_ = hi_ = log_ && value <= 0.0 ? 1.0 : value;
        }
      }
      lowest = std::min(lowest, value);
      highest = std::max(highest, value);
      if (value > 0.0 && (!anyPositive || value < lowestPositive)) {
        lowestPositive = value;
        anyPositive = true;
      }
    }
    if (!any) return;
    // With no positive value the smallest one above 0 is taken as 0, as the
    // column's own search reports it.
    lo_ = std::min(lo_, log_ ? (anyPositive ? lowestPositive : 0.0) : lowest);
    hi_ = std::max(hi_, highest);
  }

  // The range with 1 added to an empty extent and 5% margins on a linear
  // axis (none when the extent itself overflows).
  void finish(double& lo, double& hi) const {
    lo = lo_;
    hi = hi_;
    if (hi == lo) hi += 1.0;
    if (log_) return;
    const double d = hi - lo;
    if (!std::isfinite(d)) return;
    hi += 0.05 * d;
    lo -= 0.05 * d;
  }

  double lo() const { return lo_; }
  double hi() const { return hi_; }
  void setRange(double lo, double hi) {
    lo_ = lo;
    hi_ = hi;
  }

 private:
  bool log_;
  bool seeded_ = false;
  double lo_ = 0.0, hi_ = 0.0;
};

}  // namespace

void Autoscale(CZentrelDoc& doc) {
  Graph& graph = doc.graph;
  AxisScan x(graph.logX != 0), y(graph.logY != 0);
  for (const auto& set : doc.sets) {
    if (!set || set->ColumnCount() <= 1 || !set->active) continue;
    x.take(*set, 0);
    y.take(*set, 1);
  }
  if (graph.polar) {
    const double radius = std::max(std::fabs(y.lo()), std::fabs(y.hi()));
    x.setRange(-radius, radius);
    y.setRange(-radius, radius);
  }
  double xLo, xHi, yLo, yHi;
  x.finish(xLo, xHi);
  y.finish(yLo, yHi);
  doc.selectionX1 = doc.selectionX2 = (xLo + xHi) / 2.0;
  doc.selectionY1 = doc.selectionY2 = (yLo + yHi) / 2.0;
  graph.SetRange(xLo, yLo, xHi, yHi);
}

}  // namespace zentrel
