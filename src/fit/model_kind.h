#pragma once
// The model kinds by index. Fits and graph files store a kind as this
// number, so an index keeps its meaning for good: new kinds go at the end.

namespace zentrel {

// X(Name, index) for every model family, in index order. A family's record
// is `family::kNameFamily`, defined in families/; the enum below and the
// table in model_table.cpp are written from this one list, so a new family
// is its file plus one line here.
#define ZENTREL_MODEL_FAMILIES(X)    \
  X(Exponential, 0)                  \
  X(Polynomial, 1)                   \
  X(Gaussian, 2)                     \
  X(Lorentzian, 3)                   \
  X(StretchedExponential, 4)         \
  X(SquaredExponential, 5)           \
  X(DualSidedExponential, 6)         \
  X(SquaredExpConvDualSided, 7)      \
  X(ExpConvGaussian, 8)              \
  X(SquaredExpConvGaussian, 9)       \
  X(CustomFunction, 10)              \
  X(GaussPlusExpConvGaussian, 11)    \
  X(PowerLaw, 12)                    \
  X(SquaredStretchedExponential, 13) \
  X(CubicSpline, 14)                 \
  X(MctPowerLaws, 15)

enum ModelKind : int {
#define ZENTREL_MODEL_KIND(Name, index) k##Name,
  ZENTREL_MODEL_FAMILIES(ZENTREL_MODEL_KIND)
#undef ZENTREL_MODEL_KIND
};

#define ZENTREL_COUNT_ONE(Name, index) +1
inline constexpr int kModelKindCount = 0 ZENTREL_MODEL_FAMILIES(ZENTREL_COUNT_ONE);
#undef ZENTREL_COUNT_ONE

// Each line's index is its place in the list: an index written wrong, left
// out or taken twice fails here rather than renumbering stored fits.
#define ZENTREL_CHECK_INDEX(Name, index) static_assert(k##Name == index, "model kinds keep their stored index");
ZENTREL_MODEL_FAMILIES(ZENTREL_CHECK_INDEX)
#undef ZENTREL_CHECK_INDEX

}  // namespace zentrel
