#include "numeric/ascending_order.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zentrel {

bool BeforeInOrder(double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); }

bool IsAscending(std::span<const double> x) {
  for (size_t i = 1; i < x.size(); ++i)
    if (BeforeInOrder(x[i], x[i - 1])) return false;
  return true;
}

std::vector<int> AscendingOrder(std::span<const double> x) {
  std::vector<int> order(x.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return BeforeInOrder(x[static_cast<size_t>(a)], x[static_cast<size_t>(b)]); });
  return order;
}

}  // namespace zentrel
