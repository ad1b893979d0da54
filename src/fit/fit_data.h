#pragma once
// The columns a fit is fitted to, taken from its set at the moment of use:
// the fitting engine and the spline read them, nothing keeps them. They are
// always in ascending x: a set stored in another order is read through a
// sorted private copy, so every point in the fit range counts whatever the
// order the user keeps the set in.

#include <memory>
#include <span>
#include <vector>

namespace zentrel {

class Data_Set;

// x, y and sigma of a set that is not in ascending x, sorted by x (stable:
// points with equal x keep their order), each y and sigma with its x.
struct SortedColumns {
  std::vector<int> order;  // order[i]: the set's index of sorted point i
  std::vector<double> x, y, sigma;
};

// Columns made by hand must be in ascending x; OrderedByX makes them so.
struct FitData {
  std::span<const double> x, y;   // ascending x
  std::span<const double> sigma;  // y errors; empty when the set has none
  // Owns the columns the spans show when the set is not ascending; shared
  // by copies, so a copied FitData never dangles. Null for ascending sets,
  // whose spans show the set's own columns.
  std::shared_ptr<const SortedColumns> sorted = nullptr;
};

// The order found by the last FitDataOf of a run: reused while it still
// sorts the set, so an unchanged set is not sorted again at every step.
struct FitDataCache {
  std::shared_ptr<SortedColumns> sorted;
};

// x, y and (with a third column covering them) y errors over the set's
// drawable points, in ascending x.
FitData FitDataOf(const Data_Set& set);
FitData FitDataOf(const Data_Set& set, FitDataCache& cache);

// The columns x, y, sigma (sigma empty or as long as x), in ascending x:
// the spans themselves when x is ascending already.
FitData OrderedByX(std::span<const double> x, std::span<const double> y, std::span<const double> sigma);

// Indices first..last (inclusive) of the points with start <= x <= end in
// ascending data; false when no point lies there.
bool PointsInRange(const FitData& data, double start, double end, int& first, int& last);
// How many points lie in start..end (inclusive).
int CountPointsInRange(const FitData& data, double start, double end);

}  // namespace zentrel
