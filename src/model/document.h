#pragma once
// The graph document: the ordered set list, the undo history, the graph
// state and the few graph-wide values every command reads or writes.
// Commands that act on it live in app/commands; this class keeps the state
// consistent (no dangling fit references, no stale snapshot).

#include <memory>
#include <string>
#include <vector>

#include "model/data_set.h"
#include "model/draw_preferences.h"
#include "model/graph.h"
#include "model/set_list.h"
#include "model/undo_history.h"

namespace zentrel {

// Something a higher layer keeps for as long as the document lives (the
// fitting dialog's state); the document only owns it.
class DocumentCompanion {
 public:
  virtual ~DocumentCompanion() = default;
};

class CZentrelDoc {
 public:
  CZentrelDoc();
  ~CZentrelDoc();
  CZentrelDoc(const CZentrelDoc&) = delete;
  CZentrelDoc& operator=(const CZentrelDoc&) = delete;

  // Copies every set (columns shared until written) as the newest level of
  // the undo history, named by the command about to run; what could be
  // redone is dropped.
  void TakeUndoSnapshot(std::string label = {});
  // Restores the sets before the newest command not yet undone, keeping
  // the present ones for Redo. False when nothing can be undone.
  bool Undo();
  // Restores the sets the last Undo replaced. False when nothing to redo.
  bool Redo();
  const UndoHistory& undoHistory() const { return undoHistory_; }
  // New limits apply from the next snapshot.
  void SetUndoOptions(UndoHistoryOptions options) { undoHistory_.setOptions(options); }
  // New document: no sets, default graph, empty selection and status,
  // nothing to undo or redo.
  void ResetDocument();

  Data_Set& AppendSet(std::unique_ptr<Data_Set> set);
  // Removes and destroys a set, dropping every reference to it or its fits.
  void CloseSet(int index);
  void MoveSetToBack(int index);
  void MoveSetToFront(int index);
  int SetCount() const { return static_cast<int>(sets.size()); }
  Data_Set* SetAt(int index) const;
  int IndexOf(const Data_Set* set) const;

  // Sets the selection rectangle to the centre of the visible range: the
  // state with nothing selected.
  void ClearSelection();
  bool HasSelection() const { return selectionX1 != selectionX2; }
  // What a redraw the program asks for does to the document: a logarithmic
  // range that cannot be drawn is repaired (Graph::RepairLogRanges) and the
  // selection is cleared, as the old rubber band is gone. Drawing itself
  // changes nothing; the caller of a redraw runs this (app/settling_ui.h).
  void SettleAfterRedraw();

  // The document's name in captions and questions: the bare file name, or
  // "Untitled" before it was saved or opened.
  std::string Title() const;
  // The main window's caption: the title, a star while there are unsaved
  // changes, a spaced hyphen, the program ("graph.ztl* - Zentrel"). A
  // recovered document not saved since names the file it came from
  // ("graph.ztl (recovered)* - Zentrel").
  std::string Caption() const;

  void SetModifiedFlag(bool value = true) { modified_ = value; }
  bool IsModified() const { return modified_; }

  SetList sets;
  Graph graph;
  double selectionX1 = 0.5, selectionX2 = 0.5;
  double selectionY1 = 0.5, selectionY2 = 0.5;
  // Whether Undo may run: the history holds a level to undo.
  int undoAvailable = 0;
  // The newest snapshot taken, what the first Undo restores.
  SetList undoSets;
  int scaledPreviewActive = 0;
  int useAbbreviations = 1;
  Data_Set scaledPreview;
  // Scaled subtraction: the factor, the change one arrow press makes, and
  // the two sets it works on (not owned; dropped with the preview whenever
  // one of them leaves the document).
  double scaleFactor = 1.0;
  double scaleStep = 0.1;
  Data_Set* scaledFirst = nullptr;
  Data_Set* scaledSecond = nullptr;
  Fit* lastEditedFit = nullptr;  // not owned
  std::string statusText;
  double printXMin = 1.0, printXMax = 10.0;
  double printYMin = 0.5, printYMax = 7.5;
  std::string customEquationFile = "CustomEq.txt";
  // Last cursor position, in data units (the view converts from the device).
  double cursorX = 0.0, cursorY = 0.0;
  // File the document was last opened from or saved to; empty when untitled.
  std::string pathName;
  // The document was restored from a recovery copy (app/recovery/) and has
  // no file of its own yet; recoveredFrom is the file it had then (empty
  // when it had none). New and Open clear both.
  bool recovered = false;
  std::string recoveredFrom;
  // The fitting dialog (app/dialogs/fit_dialog.h), made on first use. It
  // refers to its fit by serial, so destroying fits never leaves it dangling.
  std::unique_ptr<DocumentCompanion> fitDialog;
  // How the window (or a script's renders) draws: not saved, and kept by
  // New and Open, as the window keeps its other settings.
  DrawPreferences drawPreferences;
  // The options of the last confirmed "Options..." import, proposed for the
  // next one (app/remembered_import.h); kept by New and Open like the
  // drawing preferences.
  std::unique_ptr<DocumentCompanion> rememberedImport;
  // Which fits were fitted together as a global fit, by fit serial, for
  // refitting them together (app/global_fit_links.h); not saved.
  std::unique_ptr<DocumentCompanion> globalFits;

  // Ends the scaled subtraction: no preview, no sets to refill it from.
  void StopScaledSubtraction();

 private:
  // Replaces the sets by an undo level's: nothing may keep pointing at the
  // sets or fits that go.
  void ReplaceSets(SetList restored);

  bool modified_ = false;
  UndoHistory undoHistory_;
};

}  // namespace zentrel
