#include "view/nice_numbers.h"

#include <cmath>

namespace zentrel {

namespace {

// m * 10^e = v with m in [0.1, 2]; false for 0, where both functions give 0.
bool Normalise(double v, double& m, int& e) {
  m = v;
  e = 0;
  while (m > 2.0) {
    m *= 0.1;
    ++e;
  }
  if (m == 0.0) return false;
  while (m < 0.1) {
    m *= 10.0;
    --e;
  }
  return true;
}

}  // namespace

double NiceCeil(double v) {
  if (!std::isfinite(v)) return v;
  if (v < 0.0) return -NiceFloor(-v);
  double m = 0.0;
  int e = 0;
  if (!Normalise(v, m, e)) return 0.0;
  double k = 0.25;
  if (m > 1.5)
    k = 2.0;
  else if (m > 1.0)
    k = 1.5;
  else if (m > 0.75)
    k = 1.0;
  else if (m > 0.5)
    k = 0.75;
  else if (m > 0.25)
    k = 0.5;
  return k * std::pow(10.0, e);
}

double NiceFloor(double v) {
  if (!std::isfinite(v)) return v;
  if (v < 0.0) return -NiceCeil(-v);
  double m = 0.0;
  int e = 0;
  if (!Normalise(v, m, e)) return 0.0;
  double k = 2.0;
  if (m < 0.25)
    k = 0.2;
  else if (m < 0.5)
    k = 0.25;
  else if (m < 0.75)
    k = 0.5;
  else if (m < 1.0)
    k = 0.75;
  else if (m < 1.5)
    k = 1.0;
  else if (m < 2.0)
    k = 1.5;
  return k * std::pow(10.0, e);
}

int AbbreviationExponent(double s) {
  if (s > 1e15) return 15;
  if (s > 1e9) return 9;
  if (s > 1e6) return 6;
  if (s > 1000.0) return 3;
  if (s < 1e-12) return -15;
  if (s < 1e-9) return -12;
  if (s < 1e-6) return -9;
  if (s < 0.001) return -6;
  if (s < 1.0) return -3;
  return 0;
}

char AbbreviationLetter(int exponent) {
  switch (exponent) {
    case 15:
      return 'P';
    case 9:
      return 'G';
    case 6:
      return 'M';
    case 3:
      return 'K';
    case -3:
      return 'm';
    case -6:
      return 'u';
    case -9:
      return 'n';
    case -12:
      return 'p';
    case -15:
      return 'f';
    default:
      return ' ';
  }
}

}  // namespace zentrel
