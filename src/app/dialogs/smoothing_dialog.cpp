#include "app/dialogs/smoothing_dialog.h"

namespace zentrel {

bool SmoothingDialogModel::pointsLostFocus() {
  const CompileOutcome outcome = CompileExpression(points, expression_);
  switch (outcome.failedAt) {
    case CompileStage::Done: compileMessage.clear(); return true;
    case CompileStage::Conversion:
    case CompileStage::Compilation: compileMessage = outcome.message; return false;
    case CompileStage::CodeGeneration: compileMessage = "NULL fn!"; return false;
  }
  return false;
}

std::vector<DialogField> SmoothingDialogModel::scriptFields() {
  auto pointsField = [this](std::string_view value) -> std::optional<std::string> {
    points = std::string(value);
    if (!pointsLostFocus()) return compileMessage;
    return std::nullopt;
  };
  return {
      {"method",
       [this](std::string_view value) -> std::optional<std::string> {
         for (int i = 0; i < 3; ++i) {
           if (value == kMethodNames[i]) {
             method = i + 1;
             return std::nullopt;
           }
         }
         return "not reducing, moving-window or savitzky-golay";
       }},
      {"copy-smoothed-set",
       [this](std::string_view value) -> std::optional<std::string> {
         if (value == "yes")
           copySet = true;
         else if (value == "no")
           copySet = false;
         else
           return "not yes or no";
         return std::nullopt;
       }},
      {"number-of-points-to-smooth", pointsField},
      {"n", pointsField},
  };
}

}  // namespace zentrel
