// Every model family record of the table: its counts, names, largest
// order, equation text, analytic derivatives, and the numbers the per-kind
// code gave before the records existed.

#include "fit/model_family.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/fit_parameters.h"
#include "fit/model.h"
#include "fit/model_table.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

// A derivative the model cannot give (pow of a negative base).
const double kNaN = std::numeric_limits<double>::quiet_NaN();

#include "fit/model_family_reference.inc"  // NOLINT(bugprone-suspicious-include)

const double kDataX[] = {0, 1, 2, 3, 4, 5, 6};
const double kDataY[] = {1, 3, 2, 5, 4, 6, 5};

// A fit of the kind at the order with parameter i = 0.9 + 0.07 i, over
// seven points (the spline runs through them).
struct ReferenceFit {
  ReferenceFit(int kind, int order) {
    if (kind == kCustomFunction) CompileCustomFunction(fit, "A0*exp(-X/A1)+A2*X");
    SelectModel(fit, std::string(ModelName(kind)), order);
    for (int i = 0; i < kMaxFitParameters; ++i) fit.params[static_cast<size_t>(i)] = 0.9 + 0.07 * i;
  }
  double Value(double x) { return model(x); }
  double ValueAndDerivatives(double x, double* out) {
    auto p = fit.params;
    return ModelValueAndDerivatives(model.scope(), x, p.data(), out);
  }
  Fit fit;
  FitModel model{fit, {kDataX, kDataY, {}}};
};

class ModelFamilyRecord : public ::testing::TestWithParam<int> {
 protected:
  int kind() const { return GetParam(); }
  const ModelFamily& family() const { return FamilyOf(kind()); }
};

std::string KindTestName(const ::testing::TestParamInfo<int>& info) {
  std::string name;
  for (char c : ModelName(info.param)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

TEST_P(ModelFamilyRecord, NamesEveryParameterOnceAtEveryOrder) {
  EXPECT_FALSE(family().name.empty());
  EXPECT_EQ(ModelKindNamed(family().name), kind());
  for (int order = 1; order <= family().maxOrder; ++order) {
    const int custom = kind() == kCustomFunction ? 3 : 0;
    const int count = ParameterCountOf(kind(), order, custom);
    ASSERT_GE(count, 2);
    ASSERT_LE(count, kMaxFitParameters) << "order " << order;
    std::set<std::string> names;
    for (int i = 0; i < count; ++i) {
      const std::string name = ParameterNameOf(kind(), order, custom, i);
      if (kind() == kCubicSpline) continue;  // the spline has only y0 and x0
      EXPECT_FALSE(name.empty()) << "order " << order << " parameter " << i;
      EXPECT_TRUE(names.insert(name).second) << name << " twice at order " << order;
    }
    EXPECT_EQ(ParameterNameOf(kind(), order, custom, count), "");
  }
}

TEST_P(ModelFamilyRecord, LargestOrderIsTheLastThatFits) {
  const int largest = MaxOrder(kind());
  EXPECT_EQ(largest, family().maxOrder);
  EXPECT_LE(ParameterCountOf(kind(), largest, 0), kMaxFitParameters);
  if (kind() == kCustomFunction || kind() == kMctPowerLaws) {
    EXPECT_EQ(largest, 1);
  } else if (largest < kMaxFitParameters) {
    EXPECT_GT(ParameterCountOf(kind(), largest + 1, 0), kMaxFitParameters);
  }
}

TEST_P(ModelFamilyRecord, HasAnEquationAtEveryOrder) {
  for (int order = 1; order <= family().maxOrder; ++order) {
    ReferenceFit reference(kind(), order);
    EXPECT_FALSE(family().equation(reference.fit, "t").empty()) << "order " << order;
  }
}

TEST_P(ModelFamilyRecord, GivesTheRecordedNumbers) {
  int checked = 0;
  for (const ReferenceValue& r : kReferenceValues) {
    if (r.kind != kind()) continue;
    ++checked;
    ReferenceFit reference(r.kind, r.order);
    ClearNumericError();
    EXPECT_EQ(reference.Value(r.x), r.value) << "order " << r.order << " x " << r.x;
    EXPECT_EQ(NumericErrorState().code, r.error);
    std::array<double, kMaxFitParameters> d{};
    ClearNumericError();
    EXPECT_EQ(reference.ValueAndDerivatives(r.x, d.data()), r.value) << "order " << r.order << " x " << r.x;
    EXPECT_EQ(NumericErrorState().code, r.error);
    ASSERT_EQ(static_cast<int>(r.derivatives.size()), ParameterCount(reference.fit));
    for (size_t i = 0; i < r.derivatives.size(); ++i) {
      if (std::isnan(r.derivatives[i])) EXPECT_TRUE(std::isnan(d[i])) << "parameter " << i;
      else EXPECT_EQ(d[i], r.derivatives[i]) << "order " << r.order << " x " << r.x << " parameter " << i;
    }
  }
  ClearNumericError();
  EXPECT_GE(checked, 2);
}

TEST_P(ModelFamilyRecord, WritesTheRecordedEquation) {
  int checked = 0;
  for (const ReferenceText& r : kReferenceTexts) {
    if (r.kind != kind()) continue;
    ++checked;
    ReferenceFit reference(r.kind, r.order);
    if (!r.withOffsets) reference.fit.params[0] = reference.fit.params[1] = 0;
    EXPECT_EQ(EquationText(reference.fit), r.text) << "order " << r.order;
  }
  EXPECT_GE(checked, 2);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, ModelFamilyRecord, ::testing::Range(0, kModelKindCount), KindTestName);

TEST(ModelTable, KindsOutsideTheListHaveOnlyTheOffsets) {
  for (int kind : {-1, kModelKindCount}) {
    EXPECT_EQ(ModelName(kind), "");
    EXPECT_EQ(ParameterCountOf(kind, 3, 0), 2);
    EXPECT_EQ(ParameterNameOf(kind, 1, 0, 0), "y0");
    EXPECT_EQ(ParameterNameOf(kind, 1, 0, 2), "");
    Fit fit;
    fit.modelKind = kind;
    fit.params[0] = 2.5;
    EXPECT_EQ(FitModel(fit, {})(1.0), 2.5);
  }
  EXPECT_EQ(ModelKindNamed("exponential"), -1);  // names are matched exactly
  EXPECT_EQ(ModelNames()[kLorentzian], "Lorentian");
}

}  // namespace
}  // namespace zentrel
