#include "io/number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

#include <fast_float/fast_float.h>

namespace zentrel {

namespace {

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

}  // namespace

void AppendNumber(std::string& out, double value) {
  char buffer[64];
  char* const end = buffer + sizeof buffer;
  if (!std::isfinite(value)) {
    const auto written = std::to_chars(buffer, end, value, std::chars_format::general, 6);
    out.append(buffer, written.ptr);
    return;
  }
  // The shortest exact form tells how many digits are needed; "%.Ng" with
  // that many is checked, since it rounds the exact binary value and may
  // need one digit more at the edges of an exponent.
  const auto shortest = std::to_chars(buffer, end, value, std::chars_format::scientific);
  int digits = 0;
  for (const char* p = buffer; p < shortest.ptr && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') ++digits;
  for (int precision = digits < 6 ? 6 : digits;; ++precision) {
    const auto written = std::to_chars(buffer, end, value, std::chars_format::general, precision);
    double back = 0.0;
    const auto parsed = fast_float::from_chars(buffer, written.ptr, back);
    if (precision >= 17 || (parsed.ec == std::errc() && SameBits(back, value))) {
      out.append(buffer, written.ptr);
      return;
    }
  }
}

std::string FormatNumber(double value) {
  std::string text;
  AppendNumber(text, value);
  return text;
}

}  // namespace zentrel
