#include "app/commands/dispatch.h"

#include "app/commands/apply_outcome.h"
#include "app/commands/command_table.h"
#include "model/document.h"

namespace zentrel {

DispatchResult Dispatch(CZentrelDoc& doc, Ui& ui, int id) {
  const CommandInfo* command = FindCommand(id);
  if (command == nullptr) return DispatchResult::UnknownCommand;
  if (command->handler == nullptr) return DispatchResult::NotImplemented;
  if (!IsCommandEnabled(doc, *command)) return DispatchResult::Disabled;
  if (command->snapshot) doc.TakeUndoSnapshot();
  ApplyOutcome(doc, ui, command->handler(doc, ui));
  return DispatchResult::Done;
}

}  // namespace zentrel
