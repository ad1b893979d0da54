#include "numeric/linear_solve.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "numeric/numeric_error.h"
#include "numeric/workspace.h"

namespace zentrel {

int GaussJordan(double* a, int n, double* b, int m) {
  std::vector<int> indexColumn(static_cast<size_t>(n)), indexRow(static_cast<size_t>(n)),
      pivoted(static_cast<size_t>(n), 0);
  auto at = [&](int row, int column) -> double& { return a[static_cast<size_t>(row * n + column)]; };
  auto rhs = [&](int row, int column) -> double& { return b[static_cast<size_t>(row * m + column)]; };
  for (int i = 0; i < n; ++i) {
    double big = 0;
    int pivotRow = -1, pivotColumn = -1;
    for (int j = 0; j < n; ++j) {
      if (pivoted[static_cast<size_t>(j)] == 1) continue;
      for (int k = 0; k < n; ++k) {
        if (pivoted[static_cast<size_t>(k)] == 0) {
          if (std::fabs(at(j, k)) >= big) {
            big = std::fabs(at(j, k));
            pivotRow = j;
            pivotColumn = k;
          }
        } else if (pivoted[static_cast<size_t>(k)] > 1) {
          reportNumericError("gaussj: Singular Matrix-1");
          return -1;
        }
      }
    }
    if (pivotColumn < 0) {  // nothing comparable left (NaN entries)
      reportNumericError("gaussj: Singular Matrix-1");
      return -1;
    }
    ++pivoted[static_cast<size_t>(pivotColumn)];
    if (pivotRow != pivotColumn) {
      for (int l = 0; l < n; ++l) std::swap(at(pivotRow, l), at(pivotColumn, l));
      for (int l = 0; l < m; ++l) std::swap(rhs(pivotRow, l), rhs(pivotColumn, l));
    }
    indexRow[static_cast<size_t>(i)] = pivotRow;
    indexColumn[static_cast<size_t>(i)] = pivotColumn;
    if (at(pivotColumn, pivotColumn) == 0) {
      reportNumericError("gaussj: Singular Matrix-2");
      return -1;
    }
    const double inverse = 1.0 / at(pivotColumn, pivotColumn);
    at(pivotColumn, pivotColumn) = 1.0;
    for (int l = 0; l < n; ++l) at(pivotColumn, l) *= inverse;
    for (int l = 0; l < m; ++l) rhs(pivotColumn, l) *= inverse;
    for (int row = 0; row < n; ++row) {
      if (row == pivotColumn) continue;
      const double factor = at(row, pivotColumn);
      at(row, pivotColumn) = 0.0;
      for (int l = 0; l < n; ++l) at(row, l) -= at(pivotColumn, l) * factor;
      for (int l = 0; l < m; ++l) rhs(row, l) -= rhs(pivotColumn, l) * factor;
    }
  }
  for (int l = n - 1; l >= 0; --l) {
    const int r = indexRow[static_cast<size_t>(l)], c = indexColumn[static_cast<size_t>(l)];
    if (r == c) continue;
    for (int k = 0; k < n; ++k) std::swap(at(k, r), at(k, c));
  }
  return 0;
}

int luDecompose(DMatrix& a, int n, IVector& index) {
  DVector scale(1, n);
  if (!scale) return kSingularMatrix;
  for (int i = 1; i <= n; ++i) {
    double largest = 0.0;
    for (int j = 1; j <= n; ++j) largest = std::max(largest, std::fabs(a[i][j]));
    if (largest == 0.0) {
      reportNumericError("Singular matrix in routine ludcmp");
      return kSingularMatrix;
    }
    scale[i] = 1.0 / largest;
  }
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i < j; ++i) {
      double sum = a[i][j];
      for (int k = 1; k < i; ++k) sum -= a[i][k] * a[k][j];
      a[i][j] = sum;
    }
    double largest = 0.0;
    int pivot = j;
    for (int i = j; i <= n; ++i) {
      double sum = a[i][j];
      for (int k = 1; k < j; ++k) sum -= a[i][k] * a[k][j];
      a[i][j] = sum;
      const double merit = scale[i] * std::fabs(sum);
      if (merit >= largest) {
        largest = merit;
        pivot = i;
      }
    }
    if (j != pivot) {
      for (int k = 1; k <= n; ++k) std::swap(a[pivot][k], a[j][k]);
      scale[pivot] = scale[j];
    }
    index[j] = pivot;
    // A zero pivot means the matrix is singular: stop rather than divide by a
    // stand-in and hand back meaningless factors.
    if (a[j][j] == 0.0 || !std::isfinite(a[j][j])) {
      reportNumericError("Singular matrix in routine ludcmp");
      return kSingularMatrix;
    }
    if (j != n) {
      const double inverse = 1.0 / a[j][j];
      for (int i = j + 1; i <= n; ++i) a[i][j] *= inverse;
    }
  }
  return 0;
}

void luBackSubstitute(const DMatrix& a, int n, const IVector& index, DVector& b) {
  int firstNonZero = 0;
  for (int i = 1; i <= n; ++i) {
    const int row = index[i];
    double sum = b[row];
    b[row] = b[i];
    if (firstNonZero != 0) {
      for (int j = firstNonZero; j < i; ++j) sum -= a[i][j] * b[j];
    } else if (sum != 0.0) {
      firstNonZero = i;
    }
    b[i] = sum;
  }
  for (int i = n; i >= 1; --i) {
    double sum = b[i];
    for (int j = i + 1; j <= n; ++j) sum -= a[i][j] * b[j];
    b[i] = sum / a[i][i];
  }
}

}  // namespace zentrel
