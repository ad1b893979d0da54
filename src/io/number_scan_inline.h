#pragma once
// The body of ScanNumber, for the few hot loops that read millions of
// numbers (the text reader) and must not pay a call per field. Everything
// else calls ScanNumber (number_scan.h). Only for .cpp files of this library.

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

#include <fast_float/fast_float.h>

#include "io/number_scan.h"

namespace zentrel::scan_detail {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Case-insensitive match of a lower-case word at p.
inline bool MatchWord(const char* p, const char* last, const char* word) {
  for (; *word != '\0'; ++word, ++p) {
    if (p >= last) return false;
    const char c = (*p >= 'A' && *p <= 'Z') ? static_cast<char>(*p - 'A' + 'a') : *p;
    if (c != *word) return false;
  }
  return true;
}

inline std::uint64_t Load8(const char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;  // little-endian: p[0] in the low byte
}

// The value of the n (1..8) decimal digits at the low end of v, the first
// digit in the lowest byte.
inline std::uint64_t DigitsValue(std::uint64_t v, int n) {
  v -= 0x3030303030303030ull;
  v <<= 8 * (8 - n);  // right-align: the dropped bytes become leading zeros
  v = (v * 10) + (v >> 8);
  v = (((v & 0x000000FF000000FFull) * 0x000F424000000064ull) +
       (((v >> 16) & 0x000000FF000000FFull) * 0x0000271000000001ull)) >> 32;
  return v;
}

// How many of the bytes of v, from the lowest, are decimal digits.
inline int LeadingDigits(std::uint64_t v) {
  const std::uint64_t x = v ^ 0x3030303030303030ull;  // digits become 0..9
  // Bit 7 of a byte is set when it is not 0..9; carries only run upwards,
  // past the first such byte, so the lowest set bit is exact.
  const std::uint64_t other = (x | (x + 0x7676767676767676ull)) & 0x8080808080808080ull;
  return other == 0 ? 8 : __builtin_ctzll(other) / 8;
}

// Reads a run of digits at q (up to `last`) into `mantissa`; returns the
// run's end. Up to `readable` the bytes may be loaded eight at a time.
inline const char* ReadDigits(const char* q, const char* last, const char* readable, std::uint64_t& mantissa) {
  // The eight-byte tricks read the first character from the lowest byte.
  if constexpr (std::endian::native != std::endian::little) readable = q;
  while (readable - q >= 8) {
    const std::uint64_t v = Load8(q);
    int n = LeadingDigits(v);
    if (n > last - q) n = static_cast<int>(last - q);
    if (n == 8) {
      mantissa = mantissa * 100000000 + DigitsValue(v, 8);
      q += 8;
      continue;
    }
    if (n > 0) mantissa = mantissa * kPowersOfTen[n] + DigitsValue(v, n);
    return q + n;
  }
  for (; q < last && IsDigit(*q); ++q) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
  return q;
}

// A decimal number from p (just after any sign), ending at or before
// `last`; bytes up to `readable` (>= last) may be loaded but not used. Up
// to 19 significant digits are exact in 64 bits and go straight to
// fast_float's final rounding step; longer ones take the whole of
// fast_float.
inline bool ScanDecimal(const char* p, const char* last, const char* readable, double& value, const char*& end) {
  std::uint64_t mantissa = 0;
  const char* q;
  if (last - p >= 2 && p[1] == '.' && IsDigit(*p)) {
    // One digit before the point, the most common form of all.
    mantissa = static_cast<std::uint64_t>(*p - '0');
    q = p + 1;
  } else {
    q = ReadDigits(p, last, readable, mantissa);
  }
  bool any = q > p;
  // A lone "0" before the point holds no significant digit.
  std::int64_t digits = (q - p == 1 && *p == '0') ? 0 : q - p;
  std::int64_t exponent = 0;
  if (q < last && *q == '.') {
    const char* fraction = ++q;
    q = ReadDigits(q, last, readable, mantissa);
    digits += q - fraction;
    exponent = fraction - q;
    any = any || q > fraction;
  }
  if (!any) return false;
  const char* numberEnd = q;
  if (q < last && (*q == 'e' || *q == 'E')) {
    const char* e = q + 1;
    bool negative = false;
    if (e < last && (*e == '+' || *e == '-')) negative = *e++ == '-';
    if (e < last && IsDigit(*e)) {
      std::int64_t power = 0;
      for (; e < last && IsDigit(*e); ++e)
        if (power < 100000000) power = power * 10 + (*e - '0');
      exponent += negative ? -power : power;
      numberEnd = e;
    }
    q = e;  // a dangling "e" or "e+" is consumed but adds nothing
  }
  end = q;
  if (digits > 19) {
    // Leading zeros or too many digits for 64 bits: fast_float sorts it out.
    const auto parsed = fast_float::from_chars(p, numberEnd, value);
    return parsed.ec == std::errc();
  }
  if (mantissa == 0) {
    value = 0.0;
    return true;
  }
  const fast_float::adjusted_mantissa rounded =
      fast_float::compute_float<fast_float::binary_format<double>>(exponent, mantissa);
  if (rounded.power2 < 0) {
    // Too close to call from 64 bits: the exact comparison decides.
    const auto parsed = fast_float::from_chars(p, numberEnd, value);
    return parsed.ec == std::errc();
  }
  fast_float::to_float(false, rounded, value);
  return true;
}

// As ScanNumber; bytes from `last` up to `readable` may be loaded (never
// used) to read digits eight at a time.
inline ScannedNumber ScanNumberInline(const char* first, const char* last, const char* readable) {
  ScannedNumber out;
  const char* p = first;
  while (p < last && IsScanSpace(*p)) ++p;
  bool negative = false;
  if (p < last && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  if (p >= last) return out;
  double value = 0.0;
  const char c = *p;
  if (IsDigit(c) || c == '.') {
    if (!ScanDecimal(p, last, readable, value, p)) return out;
  } else if (MatchWord(p, last, "inf")) {
    p += 3;
    if (p < last && (*p == 'i' || *p == 'I')) {
      if (!MatchWord(p, last, "inity")) return out;
      p += 5;
    }
    value = std::numeric_limits<double>::infinity();
  } else if (MatchWord(p, last, "nan")) {
    p += 3;
    value = std::numeric_limits<double>::quiet_NaN();
  } else {
    return out;
  }
  out.ok = true;
  out.value = negative ? -value : value;
  out.end = p;
  return out;
}

}  // namespace zentrel::scan_detail
