#include "model/document.h"

#include <algorithm>
#include <utility>

#include "model/fit.h"

namespace zentrel {

CZentrelDoc::CZentrelDoc() = default;
CZentrelDoc::~CZentrelDoc() = default;

void CZentrelDoc::TakeUndoSnapshot(std::string label) {
  undoSets = CopySetList(sets);
  undoHistory_.Record(CopySetList(undoSets), std::move(label));
  undoAvailable = 1;
}

void CZentrelDoc::ReplaceSets(SetList restored) {
  lastEditedFit = nullptr;
  StopScaledSubtraction();  // its sets are about to be replaced
  sets = std::move(restored);
  SetModifiedFlag();
}

bool CZentrelDoc::Undo() {
  if (!undoAvailable) return false;
  SetList swapped = std::move(sets);
  if (!undoHistory_.Undo(swapped)) {
    sets = std::move(swapped);
    return false;
  }
  ReplaceSets(std::move(swapped));
  undoAvailable = undoHistory_.CanUndo() ? 1 : 0;
  return true;
}

bool CZentrelDoc::Redo() {
  SetList swapped = std::move(sets);
  if (!undoHistory_.Redo(swapped)) {
    sets = std::move(swapped);
    return false;
  }
  ReplaceSets(std::move(swapped));
  undoAvailable = 1;
  return true;
}

void CZentrelDoc::ResetDocument() {
  lastEditedFit = nullptr;
  sets.clear();
  StopScaledSubtraction();
  graph.ResetGraph();
  selectionX1 = selectionX2 = selectionY1 = selectionY2 = 0.5;
  statusText.clear();
  undoAvailable = 0;
  // The history belongs to the graph being left (the newest snapshot stays
  // in undoSets, out of reach).
  undoHistory_.Clear();
  pathName.clear();
  recovered = false;
  recoveredFrom.clear();
  modified_ = false;
}

Data_Set& CZentrelDoc::AppendSet(std::unique_ptr<Data_Set> set) {
  sets.push_back(std::move(set));
  return *sets.back();
}

Data_Set* CZentrelDoc::SetAt(int index) const {
  if (index < 0 || index >= SetCount()) return nullptr;
  return sets[static_cast<size_t>(index)].get();
}

int CZentrelDoc::IndexOf(const Data_Set* set) const {
  for (int i = 0; i < SetCount(); ++i)
    if (sets[static_cast<size_t>(i)].get() == set) return i;
  return -1;
}

void CZentrelDoc::CloseSet(int index) {
  Data_Set* closing = SetAt(index);
  if (closing == nullptr) return;
  for (const auto& fit : closing->fits)
    if (lastEditedFit == fit.get()) lastEditedFit = nullptr;
  if (scaledFirst == closing || scaledSecond == closing) StopScaledSubtraction();
  std::unique_ptr<Data_Set> owned = std::move(sets[static_cast<size_t>(index)]);
  sets.erase(sets.begin() + index);
  for (auto& set : sets)
    for (auto& fit : set->fits)
      if (fit->convolutionSource == closing) fit->setConvolutionSource(nullptr);
}

void CZentrelDoc::MoveSetToBack(int index) {
  if (SetAt(index) == nullptr) return;
  std::rotate(sets.begin(), sets.begin() + index, sets.begin() + index + 1);
}

void CZentrelDoc::MoveSetToFront(int index) {
  if (SetAt(index) == nullptr) return;
  std::rotate(sets.begin() + index, sets.begin() + index + 1, sets.end());
}

std::string CZentrelDoc::Title() const {
  if (pathName.empty()) return "Untitled";
  const size_t slash = pathName.find_last_of("/\\");
  return slash == std::string::npos ? pathName : pathName.substr(slash + 1);
}

std::string CZentrelDoc::Caption() const {
  std::string name = Title();
  if (pathName.empty() && recovered) {
    const size_t slash = recoveredFrom.find_last_of("/\\");
    if (!recoveredFrom.empty()) name = slash == std::string::npos ? recoveredFrom : recoveredFrom.substr(slash + 1);
    name += " (recovered)";
  }
  return name + (modified_ ? "*" : "") + " - Zentrel";
}

void CZentrelDoc::StopScaledSubtraction() {
  scaledPreviewActive = 0;
  scaledFirst = nullptr;
  scaledSecond = nullptr;
}

void CZentrelDoc::ClearSelection() {
  selectionX1 = selectionX2 = (graph.xMin + graph.xMax) / 2.0;
  selectionY1 = selectionY2 = (graph.yMin + graph.yMax) / 2.0;
}

void CZentrelDoc::SettleAfterRedraw() {
  // The repair comes first: the cleared selection sits in the middle of
  // the range as drawn.
  graph.RepairLogRanges();
  ClearSelection();
}

}  // namespace zentrel
