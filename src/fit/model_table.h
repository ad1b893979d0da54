#pragma once
// The model families by kind index, and what the rest of the program asks
// of a kind: its name, parameter counts and names, and largest order.

#include <array>
#include <string>
#include <string_view>

#include "fit/model_family.h"
#include "fit/model_kind.h"

namespace zentrel {

// The family of a kind; a kind outside the list gets an empty family (no
// terms, y0 and x0 only).
const ModelFamily& FamilyOf(int kind);
// Every kind's display name, by index.
const std::array<std::string_view, kModelKindCount>& ModelNames();

// The kind's display name; empty for a kind outside the list.
std::string_view ModelName(int kind);
// The kind whose display name is exactly name (case matters); -1 for none.
int ModelKindNamed(std::string_view name);
// Parameters of a kind at an order (customCount: the custom formula's own
// parameter count). A kind outside the list has 2 (y0 and x0).
int ParameterCountOf(int kind, int order, int customCount);
// Largest order whose parameter count is at most kMaxFitParameters; 1 for
// the custom function and the MCT power laws.
int MaxOrder(int kind);
// "y0", "x0", then the kind's names ("a0", "t0", …); empty beyond the count.
std::string ParameterNameOf(int kind, int order, int customCount, int index);

}  // namespace zentrel
