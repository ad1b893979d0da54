#pragma once
// Dialog "Custom Equations": a list of equations kept in a text file, from
// which the fitting dialog's "List" button takes a custom function. The list
// is sorted alphabetically without regard to case; every insertion lands in
// that order. The file is read when the dialog opens and written only by
// "Save".
//
// File format: one equation per line; entries are separated by "\n" with no
// line break after the last; an empty list is an empty file. A line longer
// than kMaxLineLength characters continues as the next entry; either line end
// is read.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/dialogs/dialog_model.h"
#include "app/ui.h"

namespace zentrel {

class CustomEquationsDialogModel : public DialogModel {
 public:
  static constexpr std::size_t kMaxLineLength = 253;

  // `sourceFile`: the file to load, handed back (possibly changed) on OK.
  explicit CustomEquationsDialogModel(std::string sourceFile) : sourceFile_(std::move(sourceFile)) {}

  std::string title() const override { return "Custom Equations"; }
  // Applied in this order: source-file, load, delete-all, delete, add,
  // select, save.
  std::vector<DialogField> scriptFields() override;

  // The first data exchange: loads the source file and puts the equation
  // (empty) into the edit. Later calls do nothing.
  void initialize();

  // Reads a file into the list; false (and nothing changed) when it cannot
  // be opened.
  bool loadFile(const std::string& path);
  // "Load": `chosen` is the file dialog's answer (nullopt for Cancel). Either
  // way the list is then reloaded from the source file name, so Cancel
  // discards unsaved changes.
  void load(const std::optional<std::string>& chosen);
  // "Save" to the file dialog's answer; false when cancelled or the file
  // could not be written (then nothing changes).
  bool save(const std::optional<std::string>& chosen);
  // The buttons with their file dialogs.
  void pressLoad(Ui& ui);
  void pressSave(Ui& ui);
  FileDialogRequest loadRequest() const;
  FileDialogRequest saveRequest() const;

  // Selecting an entry copies it into the edit and the returned equation.
  void select(int index);
  // "ADD": the edit's text becomes the returned equation and a new entry.
  void add();
  // "DELETE": the selected entry, if any. "DELETE ALL": every entry.
  void deleteSelected();
  void deleteAll();

  const std::vector<std::string>& entries() const { return entries_; }
  int selected() const { return selected_; }
  const std::string& sourceFile() const { return sourceFile_; }
  // "Source File:": the file last loaded or saved.
  const std::string& shownSourceFile() const { return shownSourceFile_; }
  // The text handed back on OK: the entry last selected or added.
  const std::string& equation() const { return equation_; }

  // Edit 1057: the equation being edited.
  std::string editText;

 private:
  void insertSorted(std::string entry);
  int indexOf(std::string_view answer) const;

  std::string sourceFile_;
  std::string shownSourceFile_;
  std::vector<std::string> entries_;
  int selected_ = -1;
  std::string equation_;
  bool initialized_ = false;
};

// Entries of a custom equation file's text, in file order.
std::vector<std::string> ParseCustomEquations(std::string_view text);
// The file text for entries, in list order.
std::string FormatCustomEquations(const std::vector<std::string>& entries);

// Runs the dialog on `fileName`. On OK returns the chosen equation and
// stores the dialog's source file name in `fileName`; nullopt on Cancel.
std::optional<std::string> EditCustomEquations(Ui& ui, std::string& fileName);

}  // namespace zentrel
