#pragma once

#include "app/commands/command_ids.h"

namespace zentrel {

class CZentrelDoc;
class Ui;

enum class DispatchResult {
  Done,            // the handler ran
  Disabled,        // the command's enable condition is false: nothing happens
  NotImplemented,  // the command has no handler
  UnknownCommand,  // no command has this id
};

// Runs a command by id: takes the undo snapshot when its row says so, calls
// its handler and applies the outcome the handler returns (ApplyOutcome).
DispatchResult Dispatch(CZentrelDoc& doc, Ui& ui, int id);
inline DispatchResult Dispatch(CZentrelDoc& doc, Ui& ui, Cmd id) { return Dispatch(doc, ui, CommandNumber(id)); }

}  // namespace zentrel
