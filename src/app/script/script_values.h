#pragma once
// Parsing of the values scripts write: whole numbers, doubles and
// comma-separated number lists. Trailing junk is refused.

#include <optional>
#include <string_view>
#include <vector>

namespace zentrel {

std::optional<long long> ParseInteger(std::string_view text);
// Decimal or scientific notation, "inf" and "nan"; independent of the locale.
std::optional<double> ParseDouble(std::string_view text);
std::optional<std::vector<double>> ParseNumberList(std::string_view text);

}  // namespace zentrel
