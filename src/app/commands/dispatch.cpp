#include "app/commands/dispatch.h"

#include <optional>
#include <utility>

#include "app/commands/apply_outcome.h"
#include "app/commands/command_table.h"
#include "app/settling_ui.h"
#include "model/document.h"

namespace zentrel {

DispatchResult Dispatch(CZentrelDoc& doc, Ui& ui, int id, std::string* failure) {
  const CommandInfo* command = FindCommand(id);
  if (command == nullptr) return DispatchResult::UnknownCommand;
  if (command->handler == nullptr) return DispatchResult::NotImplemented;
  if (!IsCommandEnabled(doc, *command)) return DispatchResult::Disabled;
  if (command->snapshot) doc.TakeUndoSnapshot(MenuName(*command));
  SettlingUi settling(doc, ui);
  CommandOutcome outcome = command->handler(doc, settling);
  std::optional<std::string> failed = std::move(outcome.failure);
  ApplyOutcome(doc, settling, std::move(outcome));
  if (!failed) return DispatchResult::Done;
  if (failure != nullptr) *failure = std::move(*failed);
  return DispatchResult::Failed;
}

}  // namespace zentrel
