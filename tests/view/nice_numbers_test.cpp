#include "view/nice_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zentrel {
namespace {

TEST(NiceNumbers, RoundUpAndDown) {
  const struct {
    double v, ceil, floor;
  } cases[] = {
      {7, 7.5, 5},   {1.1, 1.5, 1},        {2000, 2000, 2000},    {0.3, 0.5, 0.25},
      {1, 1, 1},     {0.05, 0.05, 0.05},   {-0.05, -0.05, -0.05}, {-7, -5, -7.5},
      {0, 0, 0},     {2e-6, 2.5e-6, 2e-6}, {0.11, 0.25, 0.2},  // mantissas below 0.25 all round to the same pair
      {1.6, 2, 1.5}, {12, 15, 10},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(NiceCeil(c.v), c.ceil) << c.v;
    EXPECT_DOUBLE_EQ(NiceFloor(c.v), c.floor) << c.v;
  }
}

TEST(NiceNumbers, NonFiniteValuesPassThrough) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(NiceCeil(inf), inf);
  EXPECT_EQ(NiceFloor(-inf), -inf);
  EXPECT_TRUE(std::isnan(NiceCeil(std::nan(""))));
}

TEST(NiceNumbers, AbbreviationsSkipTheExponentTwelve) {
  const struct {
    double s;
    int exponent;
    char letter;
  } cases[] = {
      {2e15, 15, 'P'}, {1e15, 9, 'G'}, {2e9, 9, 'G'},   {2e6, 6, 'M'},   {2000, 3, 'K'},    {1000, 0, ' '},
      {1, 0, ' '},     {0.5, -3, 'm'}, {5e-4, -6, 'u'}, {5e-7, -9, 'n'}, {5e-10, -12, 'p'}, {5e-13, -15, 'f'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AbbreviationExponent(c.s), c.exponent) << c.s;
    EXPECT_EQ(AbbreviationLetter(c.exponent), c.letter) << c.s;
  }
  EXPECT_EQ(AbbreviationLetter(12), ' ');
}

}  // namespace
}  // namespace zentrel
