#pragma once
// Choosing a fit's model, compiling its custom function, and the equation
// text drawn beside a fit.

#include <string>

namespace zentrel {

class Fit;

// Selects the model by its exact display name (case matters; an unknown
// name keeps the kind) and the order, clamped to 1..MaxOrder. Clears the
// error state; a different kind or order restarts the engine. Returns the
// effective order (1 for the custom function).
int SelectModel(Fit& fit, const std::string& name, int order);

struct CustomFunctionOutcome {
  int status = 0;       // 0 success; -1 empty text; otherwise the compiler's status
  std::string message;  // what to show the user when status is not 0
};

// Compiles `text` as the fit's custom function (parameters A0..A31 are the
// fit's parameters 2..33).
CustomFunctionOutcome CompileCustomFunction(Fit& fit, const std::string& text);

// The fitted equation with the fit's parameters, as drawn on the graph.
std::string EquationText(const Fit& fit);

}  // namespace zentrel
