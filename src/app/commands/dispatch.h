#pragma once

namespace zentrel {

class CZentrelDoc;
class Ui;

enum class DispatchResult {
  Done,            // the handler ran
  Disabled,        // the command's enable condition is false: nothing happens
  NotImplemented,  // the command has no handler
  UnknownCommand,  // no command has this id
};

// Runs a command by id: takes the undo snapshot when its row says so, then
// calls its handler. Each redraw the handler asks for settles the document
// (CZentrelDoc::SettleAfterRedraw).
DispatchResult Dispatch(CZentrelDoc& doc, Ui& ui, int id);

}  // namespace zentrel
