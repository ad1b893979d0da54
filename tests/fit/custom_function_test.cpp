// The custom-function model: compiling a formula into a fit, evaluating it
// with the fit's parameters from index 2, copying, and its limits.

#include <cmath>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/fit_parameters.h"
#include "fit/model.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "fit/model_table.h"

namespace zentrel {
namespace {

TEST(CustomFunction, CompilesAndEvaluatesWithParametersFromIndexTwo) {
  Fit fit;
  ASSERT_EQ(CompileCustomFunction(fit, "A0*EXP(-X/A3)").status, 0);
  SelectModel(fit, "Custom function", 1);
  EXPECT_EQ(fit.customParameterCount, 4);
  EXPECT_EQ(ParameterCount(fit), 6);
  EXPECT_EQ(ParameterName(fit, 2), "a0");
  EXPECT_EQ(ParameterName(fit, 5), "a3");
  fit.params = {1, 0.5, 2, 0, 0, 4};
  // y0 + A0 * exp(-(x - x0) / A3)
  EXPECT_DOUBLE_EQ(FitModel(fit, {})(2.5), 1 + 2 * std::exp(-0.5));
  EXPECT_EQ(fit.errorCode, 0);
  EXPECT_EQ(EquationText(fit), "A0*EXP(-X/A3) a0:2 a1:0 a2:0 a3:4+1");
}

TEST(CustomFunction, ErrorsAreReportedNotApplied) {
  Fit fit;
  const auto empty = CompileCustomFunction(fit, "");
  EXPECT_EQ(empty.status, -1);
  EXPECT_EQ(empty.message, "You need to enter an equation!");
  ASSERT_EQ(CompileCustomFunction(fit, "A0*X").status, 0);
  const auto bad = CompileCustomFunction(fit, "A0*(X");
  EXPECT_NE(bad.status, 0);
  EXPECT_FALSE(bad.message.empty());
  EXPECT_TRUE(fit.HasCustomEvaluator());  // the earlier formula still works
  // Parameters beyond A14 would need more than a fit's 17.
  const auto wide = CompileCustomFunction(fit, "A15*X");
  EXPECT_NE(wide.status, 0);
  EXPECT_FALSE(fit.HasCustomEvaluator());
  EXPECT_EQ(fit.customParameterCount, 0);
  EXPECT_EQ(CompileCustomFunction(fit, "A14*X").status, 0);
  EXPECT_EQ(fit.customParameterCount, 15);
}

TEST(CustomFunction, CopiesShareTheCompiledFormulaOrDropTheText) {
  Fit source;
  ASSERT_EQ(CompileCustomFunction(source, "A0+A1*X").status, 0);
  SelectModel(source, "Custom function", 1);
  source.params = {0, 0, 1, 2};
  Fit copy(source);
  EXPECT_EQ(copy.customEquation, "A0+A1*X");
  EXPECT_EQ(copy.customParameterCount, 2);
  copy.params = source.params;
  EXPECT_DOUBLE_EQ(FitModel(copy, {})(3.0), 7.0);

  Fit uncompiled;
  uncompiled.customEquation = "A0*X";  // text without a compiled formula
  Fit copy2(uncompiled);
  EXPECT_TRUE(copy2.customEquation.empty());
}

TEST(Fit, SetParameterAndRange) {
  Fit fit;
  fit.iterationCount = 5;
  EXPECT_EQ(SetParameter(fit, 2, 0.0, 0), 0);  // same value: no restart
  EXPECT_EQ(fit.iterationCount, 5);
  EXPECT_EQ(fit.freeFlags[2], 0);
  EXPECT_EQ(SetParameter(fit, 2, 3.0, 1), 0);
  EXPECT_EQ(fit.iterationCount, 0);
  EXPECT_EQ(SetParameter(fit, 5, 1.0, 1), -1);  // beyond an order-1 exponential's 4
  fit.setRange(5, 2);
  EXPECT_EQ(fit.fitStart, 2);
  EXPECT_EQ(fit.fitEnd, 5);
  EXPECT_EQ(GetParameter(fit, 2), 3.0);
  EXPECT_EQ(GetParameter(fit, 9), 0.0);
}

}  // namespace
}  // namespace zentrel
