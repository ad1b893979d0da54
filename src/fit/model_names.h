#pragma once
// Display names of the sixteen model kinds, in kind order.

#include <array>
#include <string_view>

namespace zentrel {

inline constexpr int kModelKindCount = 16;
inline constexpr int kCustomFunctionKind = 10;

inline constexpr std::array<std::string_view, kModelKindCount> kModelNames = {
    "Exponential",
    "Polynomial",
    "Gaussian",
    "Lorentian",
    "Stretched Exponential",
    "Squared Exponential",
    "Dual Sided Exponential",
    "SquExp Conv DSExp",
    "Exponential convolved with Gaussian",
    "Exponential squared convolved with Gaussian",
    "Custom function",
    "Gauss plus Exponential convolved with Gaussian",
    "Power Law",
    "Str. Exp. Squared",
    "Cubic Spline",
    "MCT powerlaws",
};

// The kind's name, or an empty view for a kind outside the catalogue.
inline std::string_view ModelName(int kind) {
  return kind >= 0 && kind < kModelKindCount ? kModelNames[static_cast<size_t>(kind)] : std::string_view{};
}

}  // namespace zentrel
