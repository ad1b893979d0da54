#pragma once
// Refusals shared by the transforms: a set holding a value that is not a
// finite number, and two sets sampled at different spacings. Each gives the
// message to show, or nothing when the input is fit for the operation.

#include <optional>
#include <string>

namespace zentrel {

class Data_Set;

// Whether every x and y of the set's drawable points is finite: one NaN or
// infinity would spread through a transform into every output value.
// "Set 'name' holds 3 values that are not finite numbers: not transformed".
std::optional<std::string> NonFiniteRefusal(const Data_Set& set);

// Whether `response` is sampled at the spacing of `signal` (first spacings
// of both in ascending x, equal to one part in 100000, the tolerance of
// the power spectrum's evenness test): a convolution adds values lag by
// lag, which means nothing when a lag is a different length in each set.
std::optional<std::string> SpacingMismatchRefusal(const Data_Set& signal, const Data_Set& response);

}  // namespace zentrel
