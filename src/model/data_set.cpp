#include "model/data_set.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <utility>

#include "model/fit.h"

namespace zentrel {

double ApplyOperationCode(int code, double v, double operand) {
  switch (code) {
    case kOpAdd: return v + operand;
    case kOpSubtract: return v - operand;
    case kOpMultiply: return v * operand;
    case kOpDivide: return operand == 0.0 ? v : v / operand;
    case kOpPower: return std::pow(v, operand);
    default: return v;
  }
}

Data_Set::Data_Set() { columns_.reserve(4); }

Data_Set::Data_Set(const Data_Set& source) : Data_Set() { CopyFrom(source); }

Data_Set::~Data_Set() = default;

Data_Set::Cells& Data_Set::ownCells(size_t column) {
  std::shared_ptr<Cells>& shared = columns_[column];
  if (shared.use_count() != 1) {
    // Same capacity as the shared column, so appending afterwards grows the
    // column exactly when it would have grown unshared.
    auto own = std::make_shared<Cells>();
    own->reserve(shared->capacity());
    own->assign(shared->begin(), shared->end());
    shared = std::move(own);
  }
  return *shared;
}

void Data_Set::AddColumnsUpTo(size_t column) {
  while (columns_.size() <= column) columns_.push_back(std::make_shared<Cells>());
}

double Data_Set::SetValueGrowing(int column, int point, double value) {
  if (column < 0 || point < 0) return value;
  AddColumnsUpTo(static_cast<size_t>(column));
  std::vector<double>& cells = ownCells(static_cast<size_t>(column));
  const auto index = static_cast<size_t>(point);
  if (index >= cells.size()) {
    const double* before = cells.data();
    if (index == cells.size()) {
      cells.push_back(value);
    } else {
      cells.resize(index + 1, 0.0);  // a gap reads as 0, never as garbage
    }
    if (before != cells.data() && column <= 2 && !fits.empty()) RestartFits();
  }
  cells[index] = value;
  return value;
}

bool Data_Set::HasValue(int column, int point) const {
  return column >= 0 && point >= 0 && column < ColumnCount() &&
         static_cast<size_t>(point) < cellsOf(static_cast<size_t>(column)).size();
}

double Data_Set::GetValue(int column, int point) const {
  return HasValue(column, point) ? cellsOf(static_cast<size_t>(column))[static_cast<size_t>(point)] : 0.0;
}

int Data_Set::PointCount(int column) const {
  if (column < 0 || column >= ColumnCount()) return 0;
  return static_cast<int>(cellsOf(static_cast<size_t>(column)).size());
}

double* Data_Set::WritableColumnData(int column) {
  if (column < 0 || column >= ColumnCount()) return nullptr;
  return ownCells(static_cast<size_t>(column)).data();
}

const double* Data_Set::ColumnData(int column) const {
  if (column < 0 || column >= ColumnCount()) return nullptr;
  return cellsOf(static_cast<size_t>(column)).data();
}

std::vector<Data_Set::ColumnBuffer> Data_Set::ColumnBuffers() const {
  std::vector<ColumnBuffer> buffers;
  buffers.reserve(columns_.size());
  for (const auto& shared : columns_) buffers.push_back({shared.get(), shared->capacity() * sizeof(double)});
  return buffers;
}

double Data_Set::ColumnMin(int column) const {
  if (PointCount(column) == 0) return 0.0;
  const auto& cells = cellsOf(static_cast<size_t>(column));
  double lowest = cells[0];
  for (double v : cells)
    if (v < lowest) lowest = v;
  return lowest;
}

double Data_Set::ColumnMax(int column) const {
  if (PointCount(column) == 0) return 0.0;
  const auto& cells = cellsOf(static_cast<size_t>(column));
  double highest = cells[0];
  for (double v : cells)
    if (v > highest) highest = v;
  return highest;
}

double Data_Set::NextAbove(int column, double x) const {
  if (column < 0 || column >= ColumnCount()) return 0.0;
  bool found = false;
  double best = x;
  for (double v : cellsOf(static_cast<size_t>(column))) {
    if (v > x && (!found || v < best)) {
      best = v;
      found = true;
    }
  }
  return best;
}

int Data_Set::DrawablePointCount() const { return std::min(PointCount(0), PointCount(1)); }

void Data_Set::DeletePoints(int first, int last) {
  if (lastColumn() < 1) return;
  const int lastX = lastIndex(0);
  if (first < 0 || last < 0 || first > lastX || last > lastX) return;
  if (first > last) std::swap(first, last);
  for (size_t c = 0; c < columns_.size(); ++c) {
    // A column shorter than x loses only the cells it actually has.
    const auto size = static_cast<int>(cellsOf(c).size());
    if (first >= size) continue;
    const int end = std::min(last + 1, size);
    Cells& cells = ownCells(c);
    cells.erase(cells.begin() + first, cells.begin() + end);
  }
  modified = true;
  RestartFits();
}

void Data_Set::SwapPoints(int i, int j) {
  // Only points that exist (have an x) can trade places.
  if (i < 0 || j < 0 || i == j || std::max(i, j) >= PointCount(0)) return;
  const auto high = static_cast<size_t>(std::max(i, j));
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (cellsOf(c).empty()) continue;
    // A cell a short column lacks reads as 0: give it that value so it can
    // travel with its point.
    if (high >= cellsOf(c).size() && static_cast<size_t>(std::min(i, j)) >= cellsOf(c).size()) continue;
    Cells& cells = ownCells(c);
    if (high >= cells.size()) {
      const double* before = cells.data();
      cells.resize(high + 1, 0.0);
      if (before != cells.data() && !fits.empty()) RestartFits();
    }
    std::swap(cells[static_cast<size_t>(i)], cells[static_cast<size_t>(j)]);
  }
}

namespace {

// The order SortByX establishes: ascending, NaN after every number.
bool ComesBefore(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return !std::isnan(a) && std::isnan(b);
  return a < b;
}

}  // namespace

bool Data_Set::IsSortedByX() const {
  const int n = PointCount(0);
  const double* x = ColumnData(0);
  for (int k = 1; k < n; ++k)
    if (ComesBefore(x[k], x[k - 1])) return false;
  return true;
}

void Data_Set::SortByX() {
  if (IsSortedByX()) return;
  const auto n = static_cast<size_t>(PointCount(0));
  // Sort (x, original index) pairs: ties keep their order and NaN x values
  // go to the end, so the comparison is a strict weak order for any input.
  std::vector<std::pair<double, size_t>> keys(n);
  const std::vector<double>& x = cellsOf(0);
  for (size_t k = 0; k < n; ++k) keys[k] = {x[k], k};
  const bool anyNaN = std::any_of(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(n),
                                  [](double v) { return std::isnan(v); });
  if (anyNaN) {
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
      if (ComesBefore(a.first, b.first)) return true;
      if (ComesBefore(b.first, a.first)) return false;
      return a.second < b.second;
    });
  } else {
    std::sort(keys.begin(), keys.end());  // (x, index): ties keep their order
  }
  std::vector<double> reordered(n);
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (cellsOf(c).empty()) continue;
    Cells& cells = ownCells(c);
    if (cells.size() < n) cells.resize(n, 0.0);  // missing cells read as 0
    for (size_t k = 0; k < n; ++k) reordered[k] = cells[keys[k].second];
    std::copy(reordered.begin(), reordered.end(), cells.begin());
  }
  RestartFits();
}

void Data_Set::CopyFrom(const Data_Set& source) {
  if (&source == this) return;
  for (size_t c = 0; c < source.columns_.size(); ++c) {
    // An empty column simply shares the source's; a longer one keeps its
    // cells beyond the source's end.
    if (c >= columns_.size() || cellsOf(c).empty()) {
      AddColumnsUpTo(c);
      columns_[c] = source.columns_[c];
      continue;
    }
    const auto& from = source.cellsOf(c);
    if (from.empty()) continue;
    auto& to = ownCells(c);
    if (to.size() < from.size()) to.resize(from.size(), 0.0);
    std::copy(from.begin(), from.end(), to.begin());
  }
  RestartFits();
  for (const auto& fit : source.fits) fits.push_back(std::make_unique<Fit>(*fit));
  color = source.color;
  symbolSize = source.symbolSize;
  name = source.name;
  comment = source.comment;
  connectLines = source.connectLines;
  active = source.active;
  modified = true;
}

bool Data_Set::SameColumns(const Data_Set& other) const {
  if (columns_.size() != other.columns_.size()) return false;
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (columns_[c] == other.columns_[c]) continue;  // one shared column
    const auto& a = cellsOf(c);
    const auto& b = other.cellsOf(c);
    if (a.size() != b.size() || (!a.empty() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) != 0))
      return false;
  }
  return true;
}

void Data_Set::ReattachFits() {
  const double* x = ColumnData(0);
  for (auto& fit : fits) fit->attach(x, DrawablePointCount());
}

void Data_Set::RestartFits() {
  for (auto& fit : fits) fit->restart();
}

void Data_Set::ApplyOperation(int xCode, double xOperand, int yCode, double yOperand) {
  if (ColumnCount() < 2) return;
  // A column no code changes stays shared.
  const auto apply = [this](size_t column, int code, double operand) {
    if (code < kOpAdd || code > kOpPower || cellsOf(column).empty()) return;
    for (double& v : ownCells(column)) v = ApplyOperationCode(code, v, operand);
  };
  apply(0, xCode, xOperand);
  apply(1, yCode, yOperand);
  modified = true;
}

void Data_Set::Clear() {
  columns_.clear();
  modified = true;
  RestartFits();
}

void Data_Set::KeepPoints(const std::vector<char>& keep) {
  for (size_t c = 0; c < columns_.size(); ++c) {
    Cells& cells = ownCells(c);
    size_t kept = 0;
    for (size_t k = 0; k < cells.size(); ++k)
      if (k < keep.size() && keep[k]) cells[kept++] = cells[k];
    cells.resize(kept);
  }
  modified = true;
  RestartFits();
}

void Data_Set::AppendValues(int column, int first, const double* values, int count) {
  if (column < 0 || first < 0 || count <= 0) return;
  modified = true;
  AddColumnsUpTo(static_cast<size_t>(column));
  std::vector<double>& cells = ownCells(static_cast<size_t>(column));
  const double* before = cells.data();
  const auto at = static_cast<size_t>(first);
  const size_t end = at + static_cast<size_t>(count);
  // Grown once to the final length, not step by step.
  if (end > cells.capacity()) cells.reserve(end);
  if (cells.size() < at) cells.resize(at, 0.0);
  const size_t overlap = std::min(cells.size(), end) - at;
  std::copy(values, values + overlap, cells.begin() + static_cast<std::ptrdiff_t>(at));
  cells.insert(cells.end(), values + overlap, values + count);
  if (before != cells.data() && column <= 2 && !fits.empty()) RestartFits();
}

void Data_Set::Reserve(int column, int points) {
  if (column < 0 || points <= 0) return;
  AddColumnsUpTo(static_cast<size_t>(column));
  ownCells(static_cast<size_t>(column)).reserve(static_cast<size_t>(points));
  if (!fits.empty()) RestartFits();
}

}  // namespace zentrel
