#include "app/dialogs/operate_dialog.h"

#include "app/dialogs/form_dialog.h"

namespace zentrel {

namespace {

FieldSetter OperatorField(int& selected) {
  return [&selected](std::string_view value) -> std::optional<std::string> {
    if (value == "none") {
      selected = -1;
      return std::nullopt;
    }
    for (size_t i = 0; i < OperateDialogModel::kOperators.size(); ++i) {
      if (value == OperateDialogModel::kOperators[i]) {
        selected = static_cast<int>(i);
        return std::nullopt;
      }
    }
    return "not one of + - * / ^ none";
  };
}

FieldSetter OperandField(std::string& operand) {
  return [&operand](std::string_view value) -> std::optional<std::string> {
    if (!ParseFieldNumber(std::string(value))) return "not a number";
    operand = std::string(value);
    return std::nullopt;
  };
}

}  // namespace

std::vector<DialogField> OperateDialogModel::scriptFields() {
  return {
      {"x-op", OperatorField(xOperator)},
      {"x", OperandField(xOperand)},
      {"y-op", OperatorField(yOperator)},
      {"y", OperandField(yOperand)},
      {"operate-on",
       [this](std::string_view value) -> std::optional<std::string> {
         if (value == "all-active-sets")
           oneSet = false;
         else if (value == "one-set")
           oneSet = true;
         else
           return "not all-active-sets or one-set";
         return std::nullopt;
       }},
      {"function",
       [this](std::string_view value) -> std::optional<std::string> {
         if (value == "none") {
           function = 0;
           return std::nullopt;
         }
         for (size_t i = 0; i < kFunctionNames.size(); ++i) {
           if (value == kFunctionNames[i]) {
             pressFunction(static_cast<int>(i) + 1);
             return std::nullopt;
           }
         }
         return "not one of ln-x ln-y sqrt-x sqrt-y exp-x exp-y none";
       }},
  };
}

std::optional<std::string> OperateDialogModel::validate() {
  if (!ParseFieldNumber(xOperand) || !ParseFieldNumber(yOperand)) return "Please enter a number.";
  return std::nullopt;
}

double OperateDialogModel::xValue() const { return ParseFieldNumber(xOperand).value_or(0.0); }
double OperateDialogModel::yValue() const { return ParseFieldNumber(yOperand).value_or(0.0); }

}  // namespace zentrel
