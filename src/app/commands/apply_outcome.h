#pragma once

#include "app/commands/command_outcome.h"

namespace zentrel {

class CZentrelDoc;
class Ui;

// Finishes a command: appends the outcome's sets, autoscales, sets the
// status text, marks the document modified, then redraws through `ui`, in
// that order and each only when the outcome asks for it.
void ApplyOutcome(CZentrelDoc& doc, Ui& ui, CommandOutcome outcome);

}  // namespace zentrel
