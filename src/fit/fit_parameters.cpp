#include "fit/fit_parameters.h"

#include "fit/model_table.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {

int ParameterCount(const Fit& fit) { return ParameterCountOf(fit.modelKind, fit.order, fit.customParameterCount); }

std::string ParameterName(const Fit& fit, int index) {
  return ParameterNameOf(fit.modelKind, fit.order, fit.customParameterCount, index);
}

double GetParameter(const Fit& fit, int index) {
  return index >= 0 && index < ParameterCount(fit) && index < kMaxFitParameters ? fit.params[static_cast<size_t>(index)]
                                                                                  : 0.0;
}

int SetParameter(Fit& fit, int index, double value, int freeFlag) {
  if (index < 0 || index > ParameterCount(fit) || index >= kMaxFitParameters) return -1;
  const auto i = static_cast<size_t>(index);
  if (value != fit.params[i]) {
    fit.errorCode = 0;
    ClearNumericError();
    fit.iterationCount = 0;
  }
  fit.params[i] = value;
  fit.freeFlags[i] = freeFlag;
  return 0;
}

}  // namespace zentrel
