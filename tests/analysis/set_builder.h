#pragma once
// Sets from value lists, and columns back as lists, for the analysis tests.

#include <vector>

#include "model/data_set.h"

namespace zentrel::testing {

// Columns in order x, y, y error, x error; an empty list adds no column.
inline void FillSet(Data_Set& set, const std::vector<std::vector<double>>& columns) {
  for (size_t c = 0; c < columns.size(); ++c)
    for (size_t i = 0; i < columns[c].size(); ++i)
      set.SetValue(static_cast<int>(c), static_cast<int>(i), columns[c][i]);
  set.modified = false;
}

// A set of x and y values named `name`.
inline Data_Set MakeSet(const std::vector<double>& x, const std::vector<double>& y, const char* name = "s") {
  Data_Set set;
  FillSet(set, {x, y});
  set.name = name;
  return set;
}

inline std::vector<double> Column(const Data_Set& set, int column) {
  std::vector<double> values;
  for (int i = 0; i < set.PointCount(column); ++i) values.push_back(set.GetValue(column, i));
  return values;
}

}  // namespace zentrel::testing
