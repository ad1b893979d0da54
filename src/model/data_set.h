#pragma once
// One series of points stored column-wise: 0 x, 1 y, 2 y error, 3 x error,
// 4 and up extra columns that are kept but never drawn.
//
// Columns are shared between copies until one of them writes (copy on
// write): copying a set, snapshotting a document for undo and the fit
// workers' column copies cost a pointer per column, and a write copies
// only the column it touches. Every writer goes through a method of this
// class, which gives the set a column of its own first.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zentrel {

class Fit;

// Arithmetic operation codes shared by ApplyOperation, the text importer and
// the operate commands. Any other code leaves the value unchanged.
enum OperationCode : int {
  kOpNone = 0,
  kOpAdd = 1,
  kOpSubtract = 2,
  kOpMultiply = 3,
  kOpDivide = 4,
  kOpPower = 5,
};

// Applies one operation code to a value; division by zero leaves v unchanged.
double ApplyOperationCode(int code, double v, double operand);

class Data_Set {
 public:
  Data_Set();
  // Copy construction: a fresh set, then CopyFrom(source).
  Data_Set(const Data_Set& source);
  Data_Set& operator=(const Data_Set&) = delete;
  ~Data_Set();

  // Element access. Unset cells read as 0; nothing here reports an error.
  double SetValue(int column, int point, double value) {
    modified = true;
    // Fast path: overwrite, or append within capacity, in a column this set
    // alone holds. Everything else (sharing, growing) takes the slow path.
    if (column >= 0 && column < ColumnCount() && point >= 0) {
      const std::shared_ptr<Cells>& shared = columns_[static_cast<size_t>(column)];
      if (shared.use_count() == 1) {
        Cells& cells = *shared;
        const auto index = static_cast<size_t>(point);
        if (index < cells.size()) return cells[index] = value;
        if (index == cells.size() && index < cells.capacity()) return cells.emplace_back(value);
      }
    }
    return SetValueGrowing(column, point, value);
  }
  double GetValue(int column, int point) const;
  bool HasValue(int column, int point) const;
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  int PointCount(int column) const;
  // Reading a column never copies it; writing through the pointer of
  // WritableColumnData is allowed until the set is next copied or changed
  // by any other method (it first makes the column the set's own).
  const double* ColumnData(int column) const;
  double* WritableColumnData(int column);
  double ColumnMin(int column) const;
  double ColumnMax(int column) const;
  double NextAbove(int column, double x) const;

  // Index of the highest column that holds any value; -1 when empty.
  int lastColumn() const { return ColumnCount() - 1; }
  // Highest point index written in a column; -1 for a column without values.
  int lastIndex(int column) const { return PointCount(column) - 1; }
  // Point count used where a set needs one: min(length of x, length of y).
  int DrawablePointCount() const;

  // Structural operations.
  void DeletePoints(int first, int last);
  void DeletePoint(int point) { DeletePoints(point, point); }
  void SwapPoints(int i, int j);
  bool IsSortedByX() const;
  void SortByX();
  void CopyFrom(const Data_Set& source);
  // The columns alone, without fits or settings: the working copy a fit
  // step reads on another thread while the person goes on editing.
  // Shares the source's columns: no values are copied until one side writes.
  void CopyColumnsFrom(const Data_Set& source) { columns_ = source.columns_; }
  // Whether both sets hold the same columns, bit for bit (NaN equals NaN).
  bool SameColumns(const Data_Set& other) const;
  void ReattachFits();
  void ApplyOperation(int xCode, double xOperand, int yCode, double yOperand);
  // Drops every column (the set then has no columns and no points); fits stay.
  void Clear();
  // Keeps the points whose flag is set, in order, in every column; a short
  // column keeps only the cells it has. keep holds one flag per x value.
  void KeepPoints(const std::vector<char>& keep);

  // The storage behind each column, to count the bytes several sets hold
  // together: columns shared between sets have the same id.
  struct ColumnBuffer {
    const void* id;
    std::size_t bytes;
  };
  std::vector<ColumnBuffer> ColumnBuffers() const;

  // Reserves room for n points in every existing column (a bulk-import hint).
  void Reserve(int column, int points);
  // Writes `count` values at points first, first + 1, ... of a column, as
  // SetValue would one by one (a gap before them reads as 0); for joining
  // columns read in pieces.
  void AppendValues(int column, int first, const double* values, int count);

  int active = 1;
  int connectLines = 1;
  std::string comment;
  std::vector<std::unique_ptr<Fit>> fits;
  std::uint32_t color = 0;  // 0x00BBGGRR
  double symbolSize = 1.0;
  bool modified = false;
  std::string name = "Unnamed";

 private:
  // The fits' engines start afresh at their next step: the columns they
  // read changed, or moved. Ranges stay (ReattachFits may set them).
  void RestartFits();
  double SetValueGrowing(int column, int point, double value);
  void SortRange(int lo, int hi);
  int Partition(int lo, int hi);

  using Cells = std::vector<double>;
  const Cells& cellsOf(size_t column) const { return *columns_[column]; }
  // The column made the set's own (copied, with its capacity, when shared).
  Cells& ownCells(size_t column);
  // Adds empty columns so that `column` exists.
  void AddColumnsUpTo(size_t column);

  // Never null: an empty column is an empty vector.
  std::vector<std::shared_ptr<Cells>> columns_;
};

}  // namespace zentrel
