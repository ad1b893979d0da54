#pragma once
// The lagged-product autocorrelation of one set, mirrored to negative lags.

#include <memory>

namespace zentrel {

class Data_Set;

// A(i) = mean of y[i + j] * y[j] over j, for lags 0 .. n/2 - 1, placed at
// x = ±i * (x[1] - x[0]); 2 * (n/2) points, lag 0 twice. Takes the source's
// colour and symbol size; marks the source active. Nothing for sets of fewer
// than 10 points.
std::unique_ptr<Data_Set> autocorrelate(Data_Set& source);

}  // namespace zentrel
