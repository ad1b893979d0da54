#include "model/undo_history.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "model/fit.h"

namespace zentrel {

void UndoHistory::Record(SetList before, std::string label) {
  levels_.erase(levels_.begin() + static_cast<std::ptrdiff_t>(position_), levels_.end());
  levels_.push_back({std::move(label), std::move(before), {}});
  position_ = levels_.size();
  // The sets just recorded are the document's own at this moment: what the
  // history holds beyond them is what the older levels changed.
  Trim(levels_.back().before);
}

void UndoHistory::Trim(const SetList& current) {
  const auto maxLevels = static_cast<std::size_t>(std::max(options_.maxLevels, 1));
  while (levels_.size() > 1 && (levels_.size() > maxLevels || HeldBytes(current) > options_.maxBytes)) {
    levels_.pop_front();
    if (position_ > 0) --position_;
  }
}

bool UndoHistory::Undo(SetList& sets) {
  if (!CanUndo()) return false;
  Level& level = levels_[position_ - 1];
  level.after = std::move(sets);
  sets = CopySetList(level.before);  // the level stays, for Redo then Undo again
  --position_;
  return true;
}

bool UndoHistory::Redo(SetList& sets) {
  if (!CanRedo()) return false;
  Level& level = levels_[position_];
  // Copies, as Undo restores: nothing that referred to the sets or fits of
  // before the Undo (an iterating fit, the fitting dialog) comes back.
  sets = CopySetList(level.after);
  level.after.clear();  // the next Undo of this level takes the state afresh
  ++position_;
  return true;
}

void UndoHistory::Clear() {
  levels_.clear();
  position_ = 0;
}

std::string_view UndoHistory::UndoLabel() const {
  return CanUndo() ? std::string_view(levels_[position_ - 1].label) : std::string_view();
}

std::string_view UndoHistory::RedoLabel() const {
  return CanRedo() ? std::string_view(levels_[position_].label) : std::string_view();
}

std::size_t UndoHistory::HeldBytes(const SetList& current) const {
  std::unordered_set<const void*> counted;
  for (const auto& set : current)
    for (const auto& buffer : set->ColumnBuffers()) counted.insert(buffer.id);
  std::size_t bytes = 0;
  const auto add = [&](const SetList& sets) {
    for (const auto& set : sets) {
      bytes += sizeof(Data_Set) + set->fits.size() * sizeof(Fit);
      for (const auto& buffer : set->ColumnBuffers())
        if (counted.insert(buffer.id).second) bytes += buffer.bytes;
    }
  };
  for (const Level& level : levels_) {
    add(level.before);
    add(level.after);
  }
  return bytes;
}

}  // namespace zentrel
