#pragma once
// Data pasted as text: each line holds x and y, optionally a y error and an
// x error, separated by any white space (not commas).

#include <string_view>

namespace zentrel {

class Data_Set;

inline constexpr int kPasteOk = 0;
inline constexpr int kPasteBadFormat = -1;  // a line with fewer than two numbers
inline constexpr int kPasteNoText = -2;

// Fills an empty set from the text (read like a C string: up to its first
// NUL), after a UTF-8 byte-order mark if there is one. LF, CR LF and a lone
// CR each end a line; only the first 254 characters of a line count.
// Errors are stored as absolute values. Every line needs two numbers, an
// empty one too, except the empty rest after a final line end.
int ParsePastedText(Data_Set& set, std::string_view text);

}  // namespace zentrel
