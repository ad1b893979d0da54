#pragma once
// View commands that ask for values or move the data: Box Area, Axis
// Ranges, Translate, Rotate Polar Origin, Labels and Print Size.

#include "app/commands/command_outcome.h"

namespace zentrel {

class CZentrelDoc;
class Ui;

CommandOutcome OnBoxArea(CZentrelDoc& doc, Ui& ui);          // Ctrl+B
CommandOutcome OnAxisRanges(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnTranslate(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnRotatePolarOrigin(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnLabels(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnPrintSize(CZentrelDoc& doc, Ui& ui);

}  // namespace zentrel
