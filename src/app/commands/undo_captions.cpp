#include "app/commands/undo_captions.h"

#include <string_view>

#include "app/commands/command_table.h"
#include "model/document.h"

namespace zentrel {

namespace {

std::string Named(Cmd id, bool enabled, std::string_view label) {
  std::string caption(FindCommand(id).caption);
  if (enabled && !label.empty()) caption.append(" ").append(label);
  return caption;
}

}  // namespace

std::string UndoCaption(const CZentrelDoc& doc) {
  return Named(Cmd::Undo, IsCommandEnabled(doc, FindCommand(Cmd::Undo)), doc.undoHistory().UndoLabel());
}

std::string RedoCaption(const CZentrelDoc& doc) {
  return Named(Cmd::Redo, IsCommandEnabled(doc, FindCommand(Cmd::Redo)), doc.undoHistory().RedoLabel());
}

}  // namespace zentrel
