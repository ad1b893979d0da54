#pragma once
// One model family: everything the program knows about a kind of model, in
// one record. The table (model_table.h) lists the records by kind index.

#include <string>
#include <string_view>

#include "fit/model.h"
#include "model/fit.h"

namespace zentrel {

struct ModelFamily {
  std::string_view name;  // as shown and as typed in scripts
  // Parameters at an order, y0 and x0 included; customCount is the custom
  // formula's own parameter count.
  int (*parameterCount)(int order, int customCount);
  // The name of parameter index (2 and up; y0 and x0 are common to all).
  std::string (*parameterName)(int index);
  int maxOrder;
  // The model at u = x - x0 for parameters p, y0 included.
  double (*value)(ModelScope& scope, double u, const double* p);
  // out[1..count-1]: the analytic partial derivatives at u. Null: numerical
  // derivatives (Ridders) for every parameter. p may be perturbed and
  // restored on the way.
  void (*derivatives)(ModelScope& scope, double u, double* p, double* out);
  // The value and out[1..count-1] together, sharing the work; the same
  // numbers as value and derivatives. Null: the two separately.
  double (*valueAndDerivatives)(ModelScope& scope, double u, double* p, double* out);
  // The fitted terms as drawn beside the graph; v stands for the abscissa
  // ("t" or "(t-x0)"). y0 and a convolution are added by EquationText.
  std::string (*equation)(const Fit& fit, const std::string& v);
};

// The largest order from kMaxFitParameters down whose parameter count fits
// in kMaxFitParameters; 1 when none above 1 does.
constexpr int LargestOrder(int (*parameterCount)(int, int)) {
  for (int order = kMaxFitParameters; order > 1; --order)
    if (parameterCount(order, 0) <= kMaxFitParameters) return order;
  return 1;
}

}  // namespace zentrel
