#include "model/zoom_history.h"

namespace zentrel {

void ZoomHistory::push(const DataRange& range) {
  levels_.push_back(range);
  while (levels_.size() > kMaxLevels) levels_.pop_front();
}

std::optional<DataRange> ZoomHistory::pop() {
  if (levels_.empty()) return std::nullopt;
  const DataRange newest = levels_.back();
  levels_.pop_back();
  return newest;
}

}  // namespace zentrel
