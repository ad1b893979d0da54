#pragma once
// Workspace vectors and matrices whose first index the caller chooses (the
// numerical routines count from 1). A vector addresses low..high; a matrix
// rows rowLow..rowHigh, each row colLow..colHigh, all elements in one block
// in row order behind one block of row pointers. Every allocation reserves
// one element more than the index range needs.
//
// An allocation that fails is logged through reportNumericError and leaves
// an empty object (false when tested); the caller gives up without using it.
// Memory is released with the object.

#include <cstddef>
#include <memory>

namespace zentrel {

template <typename T>
class OffsetVector {
 public:
  OffsetVector() = default;
  // `failure` is the text logged when the memory cannot be had.
  OffsetVector(long low, long high, const char* failure);

  explicit operator bool() const { return data_ != nullptr; }
  long low() const { return low_; }
  long high() const { return high_; }
  // Number of addressable elements, high − low + 1 (0 for an empty range).
  std::size_t size() const { return size_; }

  T& operator[](long i) { return data_[static_cast<std::size_t>(i - low_)]; }
  const T& operator[](long i) const { return data_[static_cast<std::size_t>(i - low_)]; }
  // The element at index low.
  T* data() { return data_.get(); }
  const T* data() const { return data_.get(); }

 private:
  std::unique_ptr<T[]> data_;
  long low_ = 1;
  long high_ = 0;
  std::size_t size_ = 0;
};

// Double and 32-bit integer vectors; elements start at 0.
class DVector : public OffsetVector<double> {
 public:
  DVector() = default;
  DVector(long low, long high) : OffsetVector(low, high, "allocation failure in dvector()") {}
};

class IVector : public OffsetVector<int> {
 public:
  IVector() = default;
  IVector(long low, long high) : OffsetVector(low, high, "allocation failure in ivector()") {}
};

class DMatrix {
 public:
  // One row seen through its column offset.
  class Row {
   public:
    Row(double* start, long colLow) : start_(start), colLow_(colLow) {}
    double& operator[](long j) const { return start_[static_cast<std::size_t>(j - colLow_)]; }

   private:
    double* start_;
    long colLow_;
  };

  DMatrix() = default;
  DMatrix(long rowLow, long rowHigh, long colLow, long colHigh);

  explicit operator bool() const { return rows_ != nullptr; }
  long rowLow() const { return rowLow_; }
  long rowHigh() const { return rowHigh_; }
  long colLow() const { return colLow_; }
  long colHigh() const { return colHigh_; }

  Row operator[](long i) const { return Row(rows_[static_cast<std::size_t>(i - rowLow_)], colLow_); }

 private:
  std::unique_ptr<double*[]> rows_;
  // Declared last, so it is freed before the row pointers that address it.
  std::unique_ptr<double[]> elements_;
  long rowLow_ = 1, rowHigh_ = 0, colLow_ = 1, colHigh_ = 0;
};

}  // namespace zentrel
