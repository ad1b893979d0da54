#pragma once
// Linear least squares for the guesses: min |A c - b| by Householder QR on
// columns scaled to unit length, so columns of very different sizes (u and
// u^9, an amplitude and a constant) are treated alike.

#include <optional>
#include <vector>

namespace zentrel::guess {

// columns[j] is column j of A (each as long as b). Nothing when a column
// is zero, A is (numerically) rank-deficient, or the answer is not finite.
std::optional<std::vector<double>> LeastSquares(const std::vector<std::vector<double>>& columns,
                                                const std::vector<double>& b);

}  // namespace zentrel::guess
