#pragma once
// The document's undo history: the set lists of the last snapshot-taking
// commands, newest last, and a position in it. Undo steps back to the state
// before a command and keeps the state it leaves for Redo; recording a new
// command drops whatever could still be redone.
//
// The lists share their columns with the document and with each other
// (Data_Set copies columns on write), so a level costs the columns that
// changed since, not the whole document.

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "model/set_list.h"

namespace zentrel {

struct UndoHistoryOptions {
  // The most commands that can be undone.
  int maxLevels = 20;
  // The most bytes of columns the history may hold beyond the document's
  // own; the oldest levels go first. The newest level is always kept.
  std::size_t maxBytes = std::size_t{512} << 20;
};

class UndoHistory {
 public:
  explicit UndoHistory(UndoHistoryOptions options = {}) : options_(options) {}

  // A command named `label` is about to change the document whose sets are
  // `before`: remembers them, forgets the redo branch and the levels the
  // limits no longer allow.
  void Record(SetList before, std::string label);
  // Puts into `sets` the state before the newest command not yet undone;
  // the sets it held are kept for Redo. False, `sets` untouched, when
  // nothing is left to undo.
  bool Undo(SetList& sets);
  // Puts into `sets` the state the last Undo left; false when none.
  bool Redo(SetList& sets);
  void Clear();

  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ < levels_.size(); }
  int UndoCount() const { return static_cast<int>(position_); }
  int RedoCount() const { return static_cast<int>(levels_.size() - position_); }
  // The command the next Undo (Redo) takes back (does again); empty when none.
  std::string_view UndoLabel() const;
  std::string_view RedoLabel() const;

  // Bytes of column storage the history holds that `current` does not
  // share, each shared column counted once, plus the sets' own records.
  std::size_t HeldBytes(const SetList& current) const;

  const UndoHistoryOptions& options() const { return options_; }
  // New limits apply from the next recorded command.
  void setOptions(UndoHistoryOptions options) { options_ = options; }

 private:
  struct Level {
    std::string label;
    SetList before;  // the sets the command started from
    SetList after;   // the sets Undo left behind, for Redo; empty until undone
  };
  // Drops the oldest levels beyond the limits, keeping the newest.
  void Trim(const SetList& current);

  UndoHistoryOptions options_;
  std::deque<Level> levels_;
  // Levels [0, position_) can be undone, [position_, size) redone.
  std::size_t position_ = 0;
};

}  // namespace zentrel
