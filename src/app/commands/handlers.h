#pragma once
// Command handlers, one per command that can run. Each takes the document
// and the Ui and returns what the dispatcher finishes for it; the
// dispatcher has already taken the undo snapshot when the command's table
// row asks for one.

#include "app/commands/command_outcome.h"

namespace zentrel {

class CZentrelDoc;
class Ui;

// Whole-set commands (set_commands.cpp).
CommandOutcome OnUndo(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnRedo(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnSelectActiveDataSets(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnCloseData(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnMoveDatasetToBack(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnMoveDatasetToFront(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnCopyDataSet(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnRenameDataset(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnEditComments(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnChangeSetColor(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnConnectionLines(CZentrelDoc& doc, Ui& ui);
// Toggles `active` of the set at a fixed list index (keys 1..0, Ctrl+1..0).
CommandOutcome ToggleSetActivation(CZentrelDoc& doc, Ui& ui, int index);
template <int Index>
CommandOutcome OnToggleSet(CZentrelDoc& doc, Ui& ui) {
  return ToggleSetActivation(doc, ui, Index);
}

// Range and display switches (view_commands.cpp).
CommandOutcome OnAutoscale(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnZoom(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnUnzoom(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnShowPointMarkers(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnUseAxisAbbreviations(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnShowZeroLines(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnShowFitEquations(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnShowYErrorBars(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnShowXErrorBars(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnDrawResiduals(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnShrinkResidual(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnEnlargeResidual(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnLogXAxis(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnLogYAxis(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnPolarPlot(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnUseRadians(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnPaperStyle(CZentrelDoc& doc, Ui& ui);
CommandOutcome OnShowLegend(CZentrelDoc& doc, Ui& ui);

// Menu states.
bool UndoAvailable(const CZentrelDoc& doc);
bool RedoAvailable(const CZentrelDoc& doc);
bool ShowingMarkers(const CZentrelDoc& doc);
bool UsingAbbreviations(const CZentrelDoc& doc);
bool ShowingZeroLines(const CZentrelDoc& doc);
bool ShowingFitEquations(const CZentrelDoc& doc);
bool ShowingYErrorBars(const CZentrelDoc& doc);
bool ShowingXErrorBars(const CZentrelDoc& doc);
bool ShowingResiduals(const CZentrelDoc& doc);
bool LogX(const CZentrelDoc& doc);
bool LogY(const CZentrelDoc& doc);
bool Polar(const CZentrelDoc& doc);
bool Radians(const CZentrelDoc& doc);
bool PaperStyle(const CZentrelDoc& doc);
bool ShowingLegend(const CZentrelDoc& doc);

}  // namespace zentrel
