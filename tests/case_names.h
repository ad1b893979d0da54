#pragma once
// Readable names for the cases of parameterised suites, so that ctest and a
// failure report say "Conversion.GivesTokens/3_1_2_3" and
// "GetParam() = 1*2+3" instead of a dump of the parameter's bytes.
//
// A suite's parameter type gets a `Describe(const Case&)` function next to
// it (found by argument-dependent lookup) and a one-line PrintTo that calls
// it; INSTANTIATE_TEST_SUITE_P takes `DescribedCaseName{}` as its name
// generator.

#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

namespace zentrel::testing {

// "<index>_<label>" with every character but letters and digits turned into
// '_' (runs as one), at most 40 of them: test names allow nothing else, and
// the index keeps cases whose labels look alike apart.
inline std::string CaseName(std::size_t index, std::string_view label) {
  std::string name = std::to_string(index) + '_';
  for (const char c : label) {
    if (name.size() >= 40) break;
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) name += c;
    else if (name.back() != '_') name += '_';
  }
  while (name.back() == '_') name.pop_back();
  return name;
}

// A label fit for one line: control characters as '?', at most 60
// characters, "(empty)" for nothing.
inline std::string Printable(std::string_view text) {
  if (text.empty()) return "(empty)";
  std::string out;
  for (const char c : text.substr(0, 60)) out += std::isprint(static_cast<unsigned char>(c)) != 0 ? c : '?';
  if (text.size() > 60) out += "...";
  return out;
}

struct DescribedCaseName {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
    return CaseName(info.index, Describe(info.param));
  }
};

}  // namespace zentrel::testing
