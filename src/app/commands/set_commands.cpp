// Commands that manage data sets as whole objects.

#include <utility>

#include "app/commands/handlers.h"
#include "app/dialogs/set_picker.h"
#include "app/dialogs/text_dialog.h"
#include "app/ui.h"
#include "model/document.h"

namespace zentrel {

void OnNew(CZentrelDoc& doc, Ui& ui) {
  doc.ResetDocument();
  ui.redraw();
}

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

}  // namespace zentrel
