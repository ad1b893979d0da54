// Commands that manage data sets as whole objects.

#include <utility>

#include "app/commands/bindings.h"
#include "app/commands/handlers.h"
#include "app/dialogs/set_picker.h"
#include "app/dialogs/text_dialog.h"
#include "app/ui.h"
#include "model/document.h"

namespace zentrel {

void OnUndo(CZentrelDoc& doc, Ui& ui) {
  if (doc.Undo()) ui.redraw();
}

void OnSelectActiveDataSets(CZentrelDoc& doc, Ui& ui) {
  if (doc.SetCount() == 0) {
    doc.statusText = "No Data Sets Loaded!";
    return;
  }
  std::vector<std::string> lines, names;
  for (const auto& set : doc.sets) {
    lines.push_back((set->active ? "+" : "-") + set->name);
    names.push_back(set->name);
  }
  SetPickerModel picker("", std::move(lines), std::move(names));
  if (ui.pickFromList(picker)) {
    if (Data_Set* set = doc.SetAt(picker.selected)) set->active = !set->active;
  }
  ui.redraw();
}

void ToggleSetActivation(CZentrelDoc& doc, Ui& ui, int index) {
  Data_Set* set = doc.SetAt(index);
  if (set == nullptr) return;
  set->active = !set->active;
  ui.redraw();
}

void OnCloseData(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to Close", false)) {
    doc.CloseSet(picked.index);
    doc.SetModifiedFlag();
    doc.statusText = "Closed Set";
  }
  ui.redraw();
}

void OnMoveDatasetToBack(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to move to Back", false)) doc.MoveSetToBack(picked.index);
  ui.redraw();
}

void OnMoveDatasetToFront(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to move to front", false))
    doc.MoveSetToFront(picked.index);
  ui.redraw();
}

void OnCopyDataSet(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to Copy", false)) {
    doc.AppendSet(std::make_unique<Data_Set>(*picked.set));
    doc.SetModifiedFlag();
    doc.statusText = "Set Copied!";
  }
  ui.redraw();
}

void OnRenameDataset(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Rename", true);
  if (!picked) return;
  TextDialogModel dialog = MakeRenameDialog(picked.set->name);
  if (!ui.runDialog(dialog)) return;
  picked.set->name = dialog.text;
  doc.statusText = "Set renamed";
  doc.SetModifiedFlag();
}

void OnEditComments(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Edit Comment", true);
  if (!picked) return;
  TextDialogModel dialog = MakeCommentsDialog(picked.set->comment);
  if (!ui.runDialog(dialog)) return;
  picked.set->comment = dialog.text;
  doc.SetModifiedFlag();
}

void OnChangeSetColor(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to Change Color", true)) {
    if (auto colour = ui.chooseColor(0)) {
      picked.set->color = *colour;
      doc.SetModifiedFlag();
    }
  }
  ui.redraw();
}

void OnConnectionLines(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to Toggle Connecting Lines", true)) {
    picked.set->connectLines = !picked.set->connectLines;
    doc.SetModifiedFlag();
  }
  ui.redraw();
}

bool UndoAvailable(const CZentrelDoc& doc) { return doc.undoAvailable != 0; }

std::span<const CommandBinding> SetCommandBindings() {
  // Keys 1..9, 0 toggle sets 0..9; Ctrl+1..9, Ctrl+0 toggle sets 10..19.
  static const CommandBinding bindings[] = {
    {57643, &OnUndo, &UndoAvailable},
    {32772, &OnCloseData},
    {32774, &OnSelectActiveDataSets},
    {32831, &OnCopyDataSet},
    {32833, &OnConnectionLines},
    {32785, &OnChangeSetColor},
    {32821, &OnRenameDataset},
    {32828, &OnMoveDatasetToFront},
    {32829, &OnMoveDatasetToBack},
    {32832, &OnEditComments},
    {32811, &OnToggleSet<0>},
    {32812, &OnToggleSet<1>},
    {32813, &OnToggleSet<2>},
    {32814, &OnToggleSet<3>},
    {32815, &OnToggleSet<4>},
    {32816, &OnToggleSet<5>},
    {32817, &OnToggleSet<6>},
    {32818, &OnToggleSet<7>},
    {32819, &OnToggleSet<8>},
    {32820, &OnToggleSet<9>},
    {32852, &OnToggleSet<10>},
    {32854, &OnToggleSet<11>},
    {32853, &OnToggleSet<12>},
    {32855, &OnToggleSet<13>},
    {32856, &OnToggleSet<14>},
    {32857, &OnToggleSet<15>},
    {32858, &OnToggleSet<16>},
    {32859, &OnToggleSet<17>},
    {32860, &OnToggleSet<18>},
    {32861, &OnToggleSet<19>},
  };
  return bindings;
}

}  // namespace zentrel
