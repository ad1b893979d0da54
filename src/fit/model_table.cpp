#include "fit/model_table.h"

#include <algorithm>

namespace zentrel {

namespace family {
#define ZENTREL_DECLARE_FAMILY(Name, index) extern const ModelFamily k##Name##Family;
ZENTREL_MODEL_FAMILIES(ZENTREL_DECLARE_FAMILY)
#undef ZENTREL_DECLARE_FAMILY
}  // namespace family

namespace {

const std::array<const ModelFamily*, kModelKindCount> kFamilies = {
#define ZENTREL_LIST_FAMILY(Name, index) &family::k##Name##Family,
    ZENTREL_MODEL_FAMILIES(ZENTREL_LIST_FAMILY)
#undef ZENTREL_LIST_FAMILY
};

// A kind outside the list: y0 alone, numerical derivatives, no terms.
int NoParameters(int, int) { return 2; }
std::string NoName(int) { return {}; }
double OffsetOnly(ModelScope&, double, const double* p) { return 0.0 + p[0]; }
std::string NoTerms(const Fit& fit, const std::string&) {
  return std::string(static_cast<size_t>(std::max(fit.order - 1, 0)), '+');
}
const ModelFamily kUnknownFamily = {"", NoParameters, NoName, 1, OffsetOnly, nullptr, nullptr, NoTerms};

}  // namespace

const ModelFamily& FamilyOf(int kind) {
  return kind >= 0 && kind < kModelKindCount ? *kFamilies[static_cast<size_t>(kind)] : kUnknownFamily;
}

const std::array<std::string_view, kModelKindCount>& ModelNames() {
  static const std::array<std::string_view, kModelKindCount> names = [] {
    std::array<std::string_view, kModelKindCount> all{};
    for (size_t kind = 0; kind < all.size(); ++kind) all[kind] = kFamilies[kind]->name;
    return all;
  }();
  return names;
}

std::string_view ModelName(int kind) { return FamilyOf(kind).name; }

int ModelKindNamed(std::string_view name) {
  for (int kind = 0; kind < kModelKindCount; ++kind)
    if (kFamilies[static_cast<size_t>(kind)]->name == name) return kind;
  return -1;
}

int ParameterCountOf(int kind, int order, int customCount) {
  return FamilyOf(kind).parameterCount(order, customCount);
}

int MaxOrder(int kind) { return FamilyOf(kind).maxOrder; }

std::string ParameterNameOf(int kind, int order, int customCount, int index) {
  if (index == 0) return "y0";
  if (index == 1) return "x0";
  if (index < 0 || index >= ParameterCountOf(kind, order, customCount)) return {};
  return FamilyOf(kind).parameterName(index);
}

}  // namespace zentrel
