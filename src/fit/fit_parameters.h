#pragma once
// A fit's parameters as its model family counts and names them.

#include <string>

namespace zentrel {

class Fit;

// Parameter count of the fit's kind and order.
int ParameterCount(const Fit& fit);
std::string ParameterName(const Fit& fit, int index);
// params[index] below the parameter count, else 0.
double GetParameter(const Fit& fit, int index);
// -1 when index is beyond the parameter count. A changed value restarts
// the engine and clears the error state.
int SetParameter(Fit& fit, int index, double value, int freeFlag);

}  // namespace zentrel
