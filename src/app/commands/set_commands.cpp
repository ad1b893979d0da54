// Commands that manage data sets as whole objects.

#include <memory>
#include <utility>

#include "app/commands/bindings.h"
#include "app/commands/handlers.h"
#include "app/dialogs/set_picker.h"
#include "app/dialogs/text_dialog.h"
#include "app/ui.h"
#include "model/document.h"

namespace zentrel {

CommandOutcome OnUndo(CZentrelDoc& doc, Ui&) {
  if (doc.Undo()) return Outcome::Redraw();
  return {};
}

CommandOutcome OnRedo(CZentrelDoc& doc, Ui&) {
  if (doc.Redo()) return Outcome::Redraw();
  return {};
}

CommandOutcome OnSelectActiveDataSets(CZentrelDoc& doc, Ui& ui) {
  if (doc.SetCount() == 0) return Outcome::Status("No Data Sets Loaded!");
  std::vector<std::string> lines, names;
  for (const auto& set : doc.sets) {
    lines.push_back((set->active ? "+" : "-") + set->name);
    names.push_back(set->name);
  }
  SetPickerModel picker("", std::move(lines), std::move(names));
  if (ui.pickFromList(picker)) {
    if (Data_Set* set = doc.SetAt(picker.selected)) set->active = !set->active;
  }
  return Outcome::Redraw();
}

CommandOutcome ToggleSetActivation(CZentrelDoc& doc, Ui&, int index) {
  Data_Set* set = doc.SetAt(index);
  if (set == nullptr) return {};
  set->active = !set->active;
  return Outcome::Redraw();
}

CommandOutcome OnCloseData(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to Close", false)) {
    doc.CloseSet(picked.index);
    return Outcome::Status("Closed Set").Modified().Redraw();
  }
  return Outcome::Redraw();
}

CommandOutcome OnMoveDatasetToBack(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to move to Back", false)) doc.MoveSetToBack(picked.index);
  return Outcome::Redraw();
}

CommandOutcome OnMoveDatasetToFront(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to move to front", false))
    doc.MoveSetToFront(picked.index);
  return Outcome::Redraw();
}

CommandOutcome OnCopyDataSet(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to Copy", false))
    return Outcome::AddSet(std::make_unique<Data_Set>(*picked.set)).Status("Set Copied!").Modified().Redraw();
  return Outcome::Redraw();
}

CommandOutcome OnRenameDataset(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Rename", true);
  if (!picked) return {};
  TextDialogModel dialog = MakeRenameDialog(picked.set->name);
  if (!ui.runDialog(dialog)) return {};
  picked.set->name = dialog.text;
  return Outcome::Status("Set renamed").Modified();
}

CommandOutcome OnEditComments(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to Edit Comment", true);
  if (!picked) return {};
  TextDialogModel dialog = MakeCommentsDialog(picked.set->comment);
  if (!ui.runDialog(dialog)) return {};
  picked.set->comment = dialog.text;
  return Outcome::Modified();
}

CommandOutcome OnChangeSetColor(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to Change Color", true)) {
    if (auto colour = ui.chooseColor(0)) {
      picked.set->color = *colour;
      return Outcome::Modified().Redraw();
    }
  }
  return Outcome::Redraw();
}

CommandOutcome OnConnectionLines(CZentrelDoc& doc, Ui& ui) {
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to Toggle Connecting Lines", true)) {
    picked.set->connectLines = !picked.set->connectLines;
    return Outcome::Modified().Redraw();
  }
  return Outcome::Redraw();
}

bool UndoAvailable(const CZentrelDoc& doc) { return doc.undoAvailable != 0; }

bool RedoAvailable(const CZentrelDoc& doc) { return doc.undoHistory().CanRedo(); }

std::span<const CommandBinding> SetCommandBindings() {
  // Keys 1..9, 0 toggle sets 0..9; Ctrl+1..9, Ctrl+0 toggle sets 10..19.
  static const CommandBinding bindings[] = {
    {Cmd::Undo, &OnUndo, &UndoAvailable},
    {Cmd::Redo, &OnRedo, &RedoAvailable},
    {Cmd::CloseData, &OnCloseData},
    {Cmd::SelectActiveDataSets, &OnSelectActiveDataSets},
    {Cmd::CopyDataSet, &OnCopyDataSet},
    {Cmd::ConnectionLines, &OnConnectionLines},
    {Cmd::ChangeSetColor, &OnChangeSetColor},
    {Cmd::RenameDataset, &OnRenameDataset},
    {Cmd::MoveDatasetToFront, &OnMoveDatasetToFront},
    {Cmd::MoveDatasetToBack, &OnMoveDatasetToBack},
    {Cmd::EditComments, &OnEditComments},
    {Cmd::ToggleSet1, &OnToggleSet<0>},
    {Cmd::ToggleSet2, &OnToggleSet<1>},
    {Cmd::ToggleSet3, &OnToggleSet<2>},
    {Cmd::ToggleSet4, &OnToggleSet<3>},
    {Cmd::ToggleSet5, &OnToggleSet<4>},
    {Cmd::ToggleSet6, &OnToggleSet<5>},
    {Cmd::ToggleSet7, &OnToggleSet<6>},
    {Cmd::ToggleSet8, &OnToggleSet<7>},
    {Cmd::ToggleSet9, &OnToggleSet<8>},
    {Cmd::ToggleSet10, &OnToggleSet<9>},
    {Cmd::ToggleSet11, &OnToggleSet<10>},
    {Cmd::ToggleSet12, &OnToggleSet<11>},
    {Cmd::ToggleSet13, &OnToggleSet<12>},
    {Cmd::ToggleSet14, &OnToggleSet<13>},
    {Cmd::ToggleSet15, &OnToggleSet<14>},
    {Cmd::ToggleSet16, &OnToggleSet<15>},
    {Cmd::ToggleSet17, &OnToggleSet<16>},
    {Cmd::ToggleSet18, &OnToggleSet<17>},
    {Cmd::ToggleSet19, &OnToggleSet<18>},
    {Cmd::ToggleSet20, &OnToggleSet<19>},
  };
  return bindings;
}

}  // namespace zentrel
