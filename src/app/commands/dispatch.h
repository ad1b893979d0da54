#pragma once

#include <string>

#include "app/commands/command_ids.h"

namespace zentrel {

class CZentrelDoc;
class Ui;

enum class DispatchResult {
  Done,            // the handler ran
  Failed,          // the handler ran and reported a failure (CommandOutcome::failure)
  Disabled,        // the command's enable condition is false: nothing happens
  NotImplemented,  // the command has no handler
  UnknownCommand,  // no command has this id
};

// Runs a command by id: takes the undo snapshot when its row says so, calls
// its handler and applies the outcome the handler returns (ApplyOutcome).
// Each redraw either asks for settles the document
// (CZentrelDoc::SettleAfterRedraw). The outcome is applied in full even
// when it reports a failure; `failure`, when given, then receives its text.
DispatchResult Dispatch(CZentrelDoc& doc, Ui& ui, int id, std::string* failure = nullptr);
inline DispatchResult Dispatch(CZentrelDoc& doc, Ui& ui, Cmd id, std::string* failure = nullptr) {
  return Dispatch(doc, ui, CommandNumber(id), failure);
}

}  // namespace zentrel
