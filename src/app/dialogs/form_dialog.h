#pragma once
// A dialog of labelled edit fields in a fixed order, each holding the text
// a person sees and types. Number fields are checked on OK the way the
// edits of such dialogs always are: a number, and within bounds where the
// dialog has some. The Box Area, Print Size, Labels and polar origin
// dialogs are forms.

#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/dialog_model.h"

namespace zentrel {

class FormDialogModel : public DialogModel {
 public:
  struct Field {
    int controlId = 0;
    std::string label;
    std::string text;
    bool number = false;
    std::optional<double> min, max;  // both or neither
  };

  explicit FormDialogModel(std::string title) : title_(std::move(title)) {}

  std::string title() const override { return title_; }
  // One key per field: its label, lower-cased, blanks as '-'.
  std::vector<DialogField> scriptFields() override;
  // The first refused field's message.
  std::optional<std::string> validate() override;

  void addText(int controlId, std::string label, std::string text);
  void addNumber(int controlId, std::string label, double value);
  void addBoundedNumber(int controlId, std::string label, double value, double min, double max);

  // The value of a number field, once validate() accepted it.
  double number(int index) const;
  const std::string& text(int index) const { return fields[static_cast<size_t>(index)].text; }

  std::vector<Field> fields;

 private:
  std::string title_;
};

// How a number field shows a value: shortest text that reads back exactly
// for ordinary values ("%.15g").
std::string FormatFieldNumber(double value);
// A whole edit's text as a number (blanks around it allowed).
std::optional<double> ParseFieldNumber(const std::string& text);

}  // namespace zentrel
