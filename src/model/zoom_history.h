#pragma once
// The ranges shown before the current one, newest last, so Unzoom can walk
// back through several zooms. It lives only as long as the window's
// session: the graph file does not store it, and New and Open clear it.

#include <cstddef>
#include <deque>
#include <optional>

#include "model/graph_range.h"

namespace zentrel {

class ZoomHistory {
 public:
  // Enough for any session; the oldest level goes first beyond this.
  static constexpr std::size_t kMaxLevels = 100;

  void push(const DataRange& range);
  // The newest remembered range, removed; nothing when none is left.
  std::optional<DataRange> pop();
  void clear() { levels_.clear(); }
  std::size_t size() const { return levels_.size(); }
  bool empty() const { return levels_.empty(); }

 private:
  std::deque<DataRange> levels_;
};

}  // namespace zentrel
