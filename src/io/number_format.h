#pragma once
// Writing numbers into text files and onto the clipboard. The style is
// printf's "%g" with the fewest significant digits, at least six, that read
// back to the same double: whatever plain "%g" wrote exactly keeps exactly
// those bytes, and nothing loses precision. "inf", "-inf", "nan" as printf
// writes them. Independent of the locale.

#include <string>

namespace zentrel {

void AppendNumber(std::string& out, double value);
std::string FormatNumber(double value);

}  // namespace zentrel
