#pragma once
// Reading one number the way the C library's "%lg" conversion reads it:
// leading white space skipped, an optional sign, then decimal digits with an
// optional point and exponent, or "inf"/"infinity"/"nan" in any case. Like
// scanf it consumes a dangling exponent mark ("1e+" reads 1 and uses three
// characters) and refuses a broken "infinity". Hexadecimal forms are not
// numbers here: "0x10" reads 0. Locale-independent, never reads past `last`.

namespace zentrel {

struct ScannedNumber {
  bool ok = false;
  double value = 0.0;
  const char* end = nullptr;  // first character not consumed (valid when ok)
};

ScannedNumber ScanNumber(const char* first, const char* last);

// The white space "%lg" skips: blank, tab, line feed, vertical tab, form
// feed, carriage return.
inline bool IsScanSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace zentrel
