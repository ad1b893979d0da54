#pragma once
// The lagged-product autocorrelation of one set, mirrored to negative lags.

#include <memory>

#include "util/progress.h"

namespace zentrel {

class Data_Set;

struct AutocorrelationResult {
  std::unique_ptr<Data_Set> set;  // none on failure or cancel
  bool cancelled = false;         // the watcher stopped it
};

// A(i) = mean of y[i + j] * y[j] over j, for lags 0 .. n/2 - 1, placed at
// x = ±i * (x[1] - x[0]); 2 * (n/2) points, lag 0 twice. Large sets go
// through the FFT (analysis/lagged_products.h). Takes the source's colour
// and symbol size; marks the source active, on success only. Nothing for
// sets of fewer than 10 points.
AutocorrelationResult autocorrelate(Data_Set& source, const ProgressCallback& progress = {});

}  // namespace zentrel
