#pragma once
// printf-style formatting that always uses '.' as the decimal point, whatever
// locale the front end has set: texts such as "%lg" in messages, dialog
// fields and files must read the same everywhere.

#include <cstddef>
#include <string>

namespace zentrel {

std::string CFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "%lg" of a value.
std::string FormatLg(double value);

// Standard decimal conversion in the "C" locale, as strtod: leading blanks
// skipped, the longest valid prefix converted. `consumed` receives the number
// of characters used (0 when nothing could be read, and the result is 0).
double CStrtod(const char* text, std::size_t* consumed = nullptr);

}  // namespace zentrel
