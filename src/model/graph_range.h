#pragma once
// A visible range of the graph in data units.

namespace zentrel {

struct DataRange {
  double xMin = 0.0;
  double yMin = 0.0;
  double xMax = 1.0;
  double yMax = 1.0;
  friend bool operator==(const DataRange&, const DataRange&) = default;
};

}  // namespace zentrel
