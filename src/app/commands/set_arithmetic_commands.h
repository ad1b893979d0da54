#pragma once
// Set arithmetic commands: Set Operate, Combine sets, the three overlaps and
// the scaled subtraction with its arrow-key companions.

#include "app/commands/command_outcome.h"

namespace zentrel {

class CZentrelDoc;
class Ui;

CommandOutcome OnSetOperate(CZentrelDoc& doc, Ui& ui);       // Alt+O
CommandOutcome OnCombineSets(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnOverlapSets(CZentrelDoc& doc, Ui& ui);      // V
CommandOutcome OnOverlapContInt(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnOverlapScalingX(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnScaledSubtr(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnScaleUp(CZentrelDoc& doc, Ui& ui);          // Up: step x 10
CommandOutcome OnScaleDown(CZentrelDoc& doc, Ui& ui);        // Down: step x 0.1
CommandOutcome OnScaleIncrease(CZentrelDoc& doc, Ui& ui);    // Right: factor + step
CommandOutcome OnScaleDecrease(CZentrelDoc& doc, Ui& ui);    // Left: factor - step
CommandOutcome OnSaveScaledSub(CZentrelDoc& doc, Ui& ui);

}  // namespace zentrel
