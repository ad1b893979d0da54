#pragma once
// Command handlers, one per command that can run. Each takes the document
// and the Ui; the dispatcher has already taken the undo snapshot when the
// command's table row asks for one.

namespace zentrel {

class CZentrelDoc;
class Ui;

// Whole-set commands (set_commands.cpp).
void OnUndo(CZentrelDoc& doc, Ui& ui);
void OnSelectActiveDataSets(CZentrelDoc& doc, Ui& ui);
void OnCloseData(CZentrelDoc& doc, Ui& ui);
void OnMoveDatasetToBack(CZentrelDoc& doc, Ui& ui);
void OnMoveDatasetToFront(CZentrelDoc& doc, Ui& ui);
void OnCopyDataSet(CZentrelDoc& doc, Ui& ui);
void OnRenameDataset(CZentrelDoc& doc, Ui& ui);
void OnEditComments(CZentrelDoc& doc, Ui& ui);
void OnChangeSetColor(CZentrelDoc& doc, Ui& ui);
void OnConnectionLines(CZentrelDoc& doc, Ui& ui);
// Toggles `active` of the set at a fixed list index (keys 1..0, Ctrl+1..0).
void ToggleSetActivation(CZentrelDoc& doc, Ui& ui, int index);
template <int Index>
void OnToggleSet(CZentrelDoc& doc, Ui& ui) {
  ToggleSetActivation(doc, ui, Index);
}

// Range and display switches (view_commands.cpp).
void OnAutoscale(CZentrelDoc& doc, Ui& ui);
void OnZoom(CZentrelDoc& doc, Ui& ui);
void OnUnzoom(CZentrelDoc& doc, Ui& ui);
void OnShowPointMarkers(CZentrelDoc& doc, Ui& ui);
void OnUseAxisAbbreviations(CZentrelDoc& doc, Ui& ui);
void OnShowZeroLines(CZentrelDoc& doc, Ui& ui);
void OnShowFitEquations(CZentrelDoc& doc, Ui& ui);
void OnShowYErrorBars(CZentrelDoc& doc, Ui& ui);
void OnShowXErrorBars(CZentrelDoc& doc, Ui& ui);
void OnDrawResiduals(CZentrelDoc& doc, Ui& ui);
void OnShrinkResidual(CZentrelDoc& doc, Ui& ui);
void OnEnlargeResidual(CZentrelDoc& doc, Ui& ui);
void OnLogXAxis(CZentrelDoc& doc, Ui& ui);
void OnLogYAxis(CZentrelDoc& doc, Ui& ui);
void OnPolarPlot(CZentrelDoc& doc, Ui& ui);
void OnUseRadians(CZentrelDoc& doc, Ui& ui);

// Menu states.
bool UndoAvailable(const CZentrelDoc& doc);
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

}  // namespace zentrel
