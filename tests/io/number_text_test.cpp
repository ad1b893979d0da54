// Reading numbers as "%lg" does and writing them so they read back exactly.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "io/number_format.h"
#include "io/number_scan.h"
#include "io_test_support.h"

namespace zentrel {
namespace {

using testing::SameBits;

ScannedNumber Scan(const std::string& text) { return ScanNumber(text.data(), text.data() + text.size()); }

TEST(ScanNumber, AcceptsWhatPercentLgAccepts) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* text;
    bool ok;
    double value;
    int used;
  };
  const Case cases[] = {
    {"1", true, 1, 1},          {"-.5", true, -0.5, 3},      {"+3", true, 3, 2},
    {".7", true, 0.7, 2},       {"1.", true, 1, 2},          {"1E5", true, 1e5, 3},
    {"  \v\f\r\n7", true, 7, 7}, {"1e", true, 1, 2},          {"1e+", true, 1, 3},
    {"1.5e-x", true, 1.5, 5},   {"1e5e5", true, 1e5, 3},     {"1,5", true, 1, 1},
    {"1.2.3", true, 1.2, 3},    {"00012", true, 12, 5},      {"1e400", true, inf, 5},
    {"-1e400", true, -inf, 6},  {"1e-400", true, 0, 6},      {"4.9e-324", true, 4.9e-324, 8},
    {"inf", true, inf, 3},      {"-INFINITY", true, -inf, 9}, {"infx", true, inf, 3},
    {"0x10", true, 0, 1},       {"-", false, 0, 0},          {"+", false, 0, 0},
    {".", false, 0, 0},         {"+.", false, 0, 0},         {".e1", false, 0, 0},
    {"-+5", false, 0, 0},       {"+-5", false, 0, 0},        {"- 5", false, 0, 0},
    {"e3", false, 0, 0},        {"x", false, 0, 0},          {"in", false, 0, 0},
    {"infin", false, 0, 0},     {"infinit", false, 0, 0},    {"", false, 0, 0},
  };
  for (const auto& c : cases) {
    const ScannedNumber n = ScanNumber(c.text, c.text + std::strlen(c.text));
    ASSERT_EQ(n.ok, c.ok) << c.text;
    if (!c.ok) continue;
    EXPECT_TRUE(SameBits(n.value, c.value)) << c.text << " read " << n.value;
    EXPECT_EQ(n.end - c.text, c.used) << c.text;
  }
  // Like scanf, "nan" stops before a parenthesis.
  const std::string negativeNan = "-nan(123)";
  const ScannedNumber nan = Scan(negativeNan);
  ASSERT_TRUE(nan.ok);
  EXPECT_TRUE(std::isnan(nan.value) && std::signbit(nan.value));
  EXPECT_EQ(nan.end - negativeNan.data(), 4);
}

TEST(ScanNumber, NeverReadsPastTheEnd) {
  const std::string text = "12345 inf nan";
  EXPECT_EQ(ScanNumber(text.data(), text.data() + 3).value, 123);
  EXPECT_FALSE(ScanNumber(text.data() + 6, text.data() + 8).ok);  // "in"
  EXPECT_TRUE(ScanNumber(text.data() + 6, text.data() + 9).ok);
  const std::string exponent = "2e5";
  const ScannedNumber cut = ScanNumber(exponent.data(), exponent.data() + 2);
  EXPECT_EQ(cut.value, 2);
  EXPECT_EQ(cut.end, exponent.data() + 2);
}

// The C library's own "%lg" is the reference: same success, value and
// characters used, on random strings (hexadecimal forms aside, which are
// not numbers here).
TEST(ScanNumber, AgreesWithScanfOnRandomText) {
  const char alphabet[] = "0123456789++--..eEeE  \t\n\v,infINFaAtTyYn()x";
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(0, 12), pick(0, sizeof alphabet - 2);
  for (int round = 0; round < 200000; ++round) {
    std::string text;
    for (int k = length(random); k > 0; --k) text += alphabet[pick(random)];
    if (text.find_first_of("xX") != std::string::npos) text.erase(text.find_first_of("xX"));
    double expected = 0;
    int used = -1;
    const int converted = std::sscanf(text.c_str(), "%lg%n", &expected, &used);
    const ScannedNumber n = Scan(text);
    ASSERT_EQ(n.ok, converted == 1) << '"' << text << '"';
    if (!n.ok) continue;
    ASSERT_TRUE(SameBits(n.value, expected) || (std::isnan(n.value) && std::isnan(expected))) << text;
    ASSERT_EQ(n.end - text.data(), used) << '"' << text << '"';
  }
}

// Long and exact decimals, with leading zeros, points anywhere and
// exponents: correctly rounded, as the C library's strtod is.
TEST(ScanNumber, RoundsLongDecimalsCorrectly) {
  std::mt19937 random(13);
  std::uniform_int_distribution<int> length(1, 26), digit(0, 9), zeros(0, 6), chance(0, 3), power(-330, 310);
  for (int round = 0; round < 300000; ++round) {
    std::string text(static_cast<size_t>(zeros(random)), '0');
    const int n = length(random);
    const int point = chance(random) == 0 ? -1 : std::uniform_int_distribution<int>(0, n)(random);
    for (int k = 0; k < n; ++k) {
      if (k == point) text += '.';
      // Runs of 9s and 0s reach the halfway cases.
      const int pattern = round % 3;
      text += static_cast<char>('0' + (pattern == 0 ? digit(random) : pattern == 1 ? 9 : (k == n - 1 ? 1 : 0)));
    }
    if (chance(random) == 0) text += "e" + std::to_string(power(random));
    const ScannedNumber n1 = Scan(text);
    ASSERT_TRUE(n1.ok) << text;
    ASSERT_TRUE(SameBits(n1.value, std::strtod(text.c_str(), nullptr))) << text;
    ASSERT_EQ(static_cast<size_t>(n1.end - text.data()), text.size()) << text;
  }
  // Exactly halfway between two doubles: ties go to even.
  for (const char* text : {"9007199254740993", "9007199254740995", "2.2250738585072011e-308", "4.9406564584124654e-324",
                           "1.7976931348623158e308", "1.7976931348623159e308", "0.1000000000000000055511151231257827"}) {
    const ScannedNumber n1 = ScanNumber(text, text + std::strlen(text));
    ASSERT_TRUE(n1.ok);
    EXPECT_TRUE(SameBits(n1.value, std::strtod(text, nullptr))) << text;
  }
}

TEST(FormatNumber, KeepsPercentGBytesWhereTheyWereExact) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
    {1, "1"},           {0.5, "0.5"},       {3e-07, "3e-07"},     {-2.5e-300, "-2.5e-300"}, {123456, "123456"},
    {1e21, "1e+21"},    {1234567, "1234567"}, {0.1, "0.1"},       {1.0 / 3, "0.3333333333333333"}, {-0.0, "-0"},
    {100, "100"},       {1e-5, "1e-05"},    {5e-324, "4.94066e-324"}, {0.30000000000000004, "0.30000000000000004"},
    {std::numeric_limits<double>::infinity(), "inf"}, {-std::numeric_limits<double>::infinity(), "-inf"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value), c.text) << c.value;
}

TEST(FormatNumber, ReadsBackToTheSameDoubleWithTheFewestDigits) {
  std::mt19937_64 random(11);
  for (int round = 0; round < 20000; ++round) {
    const double value = std::bit_cast<double>(random());
    if (!std::isfinite(value)) continue;
    const std::string text = FormatNumber(value);
    const ScannedNumber back = Scan(text);
    ASSERT_TRUE(back.ok && SameBits(back.value, value)) << text;
    // One digit fewer (but never below six) would not do.
    char shorter[64];
    int digits = 6;
    while (digits < 17 && std::snprintf(shorter, sizeof shorter, "%.*g", digits, value) > 0 &&
           !SameBits(std::strtod(shorter, nullptr), value))
      ++digits;
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.*g", digits, value);
    ASSERT_EQ(text, expected);
  }
}

}  // namespace
}  // namespace zentrel
