#include "numeric/workspace.h"

#include <limits>
#include <new>
#include <utility>

#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// Elements of an index range low..high; kTooMany when the count cannot be
// represented.
constexpr std::size_t kTooMany = std::numeric_limits<std::size_t>::max();

std::size_t RangeSize(long low, long high) {
  if (high < low) return 0;
  const auto span = static_cast<unsigned long>(high) - static_cast<unsigned long>(low);
  if (span >= static_cast<unsigned long>(std::numeric_limits<long>::max())) return kTooMany;
  return static_cast<std::size_t>(span) + 1;
}

// No workspace of ours comes near this; a request beyond it is a fault, and
// refusing it keeps every platform's allocator from aborting instead.
constexpr std::size_t kMaxBytes = std::size_t{1} << 40;

// Room for `count` elements plus the spare one; null when it cannot be had.
template <typename T>
std::unique_ptr<T[]> Allocate(std::size_t count) {
  if (count == kTooMany || count >= kMaxBytes / sizeof(T)) return nullptr;
  return std::unique_ptr<T[]>(new (std::nothrow) T[count + 1]());
}

}  // namespace

template <typename T>
OffsetVector<T>::OffsetVector(long low, long high, const char* failure) : low_(low), high_(high) {
  const std::size_t count = RangeSize(low, high);
  data_ = Allocate<T>(count);
  if (!data_) {
    reportNumericError(failure);
    return;
  }
  size_ = count;
}

template class OffsetVector<double>;
template class OffsetVector<int>;

DMatrix::DMatrix(long rowLow, long rowHigh, long colLow, long colHigh)
    : rowLow_(rowLow), rowHigh_(rowHigh), colLow_(colLow), colHigh_(colHigh) {
  const std::size_t rows = RangeSize(rowLow, rowHigh);
  const std::size_t cols = RangeSize(colLow, colHigh);
  std::unique_ptr<double*[]> pointers = Allocate<double*>(rows);
  if (!pointers) {
    reportNumericError("allocation failure 1 in matrix()");
    return;
  }
  const bool fits = rows != kTooMany && cols != kTooMany && (cols == 0 || rows <= kMaxBytes / sizeof(double) / cols);
  std::unique_ptr<double[]> elements = fits ? Allocate<double>(rows * cols) : nullptr;
  if (!elements) {
    reportNumericError("allocation failure 2 in matrix()");
    return;
  }
  for (std::size_t r = 0; r < rows; ++r) pointers[r] = elements.get() + r * cols;
  elements_ = std::move(elements);
  rows_ = std::move(pointers);
}

}  // namespace zentrel
