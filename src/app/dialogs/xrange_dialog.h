#pragma once
// Dialog "Xrange" of Create DataSet From Fit: the x grid to sample a fit
// on, as first x, last x, step and point count kept consistent with one
// another, or the choice to sample at the x values of the fit's data set.

#include <string>
#include <vector>

#include "app/dialogs/dialog_model.h"

namespace zentrel {

class XrangeDialogModel : public DialogModel {
 public:
  std::string title() const override { return "Xrange"; }
  // xmin, xmax, xstep, n (each as if typed and left), use-data-x=yes|no.
  std::vector<DialogField> scriptFields() override;

  // Each setter recomputes the count (or, for the count, the step).
  void setXMin(double value);
  void setXMax(double value);
  void setXStep(double value);
  void setGridCount(int count);
  // The step with the sign of the direction from xMin to xMax.
  double signedStep() const;

  // The edits' texts: "%g" for the numbers, "%d" for the count.
  std::string xMinText() const;
  std::string xMaxText() const;
  std::string xStepText() const;
  std::string gridCountText() const;

  // An edit losing focus with the text it holds.
  void xMinLostFocus(const std::string& text);
  void xMaxLostFocus(const std::string& text);
  void xStepLostFocus(const std::string& text);
  void gridCountLostFocus(const std::string& text);
  // Check box 1030 "Create using X values from the fit's data set"; while
  // it is set the four edits are hidden.
  void toggleUseDataX() { useDataX = !useDataX; }

  double xMin = 0.0;
  double xMax = 1.0;
  double xStep = 0.01;  // as entered; its sign is ignored when used
  int gridCount = 100;
  bool useDataX = false;
};

}  // namespace zentrel
