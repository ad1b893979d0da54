// Copies share columns until one side writes: every way of writing must
// leave the other copy exactly as it was.

#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "model/data_set.h"

// GCC 12 sees SetValue's append, inlined into the writers below with
// constant arguments, as writing past an empty array: a false alarm.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Warray-bounds"
#endif

namespace zentrel {
namespace {

Data_Set ThreeColumns() {
  Data_Set set;
  const double x[] = {4, 1, 3, 2, 5};
  for (int i = 0; i < 5; ++i) {
    set.SetValue(0, i, x[i]);
    set.SetValue(1, i, 10 * x[i]);
    set.SetValue(2, i, 0.5);
  }
  return set;
}

std::vector<std::vector<double>> Columns(const Data_Set& set) {
  std::vector<std::vector<double>> columns;
  for (int c = 0; c < set.ColumnCount(); ++c)
    columns.emplace_back(set.ColumnData(c), set.ColumnData(c) + set.PointCount(c));
  return columns;
}

struct Writer {
  const char* name;
  std::function<void(Data_Set&)> write;
};

const Writer kWriters[] = {
    {"SetValue overwrite", [](Data_Set& s) { s.SetValue(1, 2, -7); }},
    {"SetValue append", [](Data_Set& s) { s.SetValue(0, 5, 9); }},
    {"SetValue past the end", [](Data_Set& s) { s.SetValue(2, 9, 1); }},
    {"SetValue new column", [](Data_Set& s) { s.SetValue(4, 0, 1); }},
    {"WritableColumnData", [](Data_Set& s) { s.WritableColumnData(1)[0] = 99; }},
    {"DeletePoints", [](Data_Set& s) { s.DeletePoints(1, 2); }},
    {"SwapPoints", [](Data_Set& s) { s.SwapPoints(0, 4); }},
    {"SortByX", [](Data_Set& s) { s.SortByX(); }},
    {"ApplyOperation", [](Data_Set& s) { s.ApplyOperation(kOpAdd, 1, kOpMultiply, 2); }},
    {"KeepPoints", [](Data_Set& s) { s.KeepPoints({1, 0, 1, 0, 1}); }},
    {"AppendValues", [](Data_Set& s) { const double v[] = {7, 8}; s.AppendValues(1, 4, v, 2); }},
    {"Reserve", [](Data_Set& s) { s.Reserve(0, 1000); s.SetValue(0, 5, 6); }},
    {"CopyFrom", [](Data_Set& s) { Data_Set other; other.SetValue(0, 0, -1); s.CopyFrom(other); }},
    {"Clear", [](Data_Set& s) { s.Clear(); }},
};

TEST(SharedColumns, EveryWriterLeavesTheOtherCopyAlone) {
  for (const Writer& writer : kWriters) {
    SCOPED_TRACE(writer.name);
    // Written through the original, and through the copy.
    for (bool writeCopy : {false, true}) {
      Data_Set original = ThreeColumns();
      Data_Set copy(original);
      const auto unchanged = Columns(original);
      Data_Set& written = writeCopy ? copy : original;
      const Data_Set& kept = writeCopy ? original : copy;
      writer.write(written);
      EXPECT_EQ(Columns(kept), unchanged) << (writeCopy ? "copy written" : "original written");
      EXPECT_NE(Columns(written), unchanged);
    }
  }
}

TEST(SharedColumns, ACopyCostsNoColumnUntilWritten) {
  Data_Set original = ThreeColumns();
  Data_Set copy(original);
  const auto ids = [](const Data_Set& s) {
    std::vector<const void*> out;
    for (const auto& buffer : s.ColumnBuffers()) out.push_back(buffer.id);
    return out;
  };
  EXPECT_EQ(ids(copy), ids(original));
  EXPECT_TRUE(copy.SameColumns(original));

  // Only the written column parts company; an operation that changes no
  // column (code 0) shares on.
  copy.ApplyOperation(kOpNone, 0, kOpMultiply, 3);
  EXPECT_EQ(ids(copy)[0], ids(original)[0]);
  EXPECT_NE(ids(copy)[1], ids(original)[1]);
  EXPECT_EQ(ids(copy)[2], ids(original)[2]);
  EXPECT_FALSE(copy.SameColumns(original));

  // A column copied for writing keeps its room to grow.
  Data_Set roomy;
  roomy.Reserve(0, 100);
  roomy.SetValue(0, 0, 1);
  Data_Set twin(roomy);
  roomy.SetValue(0, 0, 2);
  EXPECT_EQ(roomy.ColumnBuffers()[0].bytes, 100 * sizeof(double));
  EXPECT_EQ(twin.GetValue(0, 0), 1.0);

  // The fit workers' column copy shares in the same way.
  Data_Set columnsOnly;
  columnsOnly.CopyColumnsFrom(original);
  EXPECT_EQ(ids(columnsOnly), ids(original));
  original.SetValue(0, 0, -1);
  EXPECT_EQ(columnsOnly.GetValue(0, 0), 4.0);
}

}  // namespace
}  // namespace zentrel
