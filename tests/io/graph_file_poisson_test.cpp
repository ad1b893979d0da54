// Poisson likelihood in the graph file: the fit record keeps 1/Y, which
// every reader knows, and a trailing block names the fits that use the
// likelihood; graphs without such a fit are stored as before.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/archive_writer.h"
#include "io/graph_file.h"
#include "io/graph_file_bounds.h"
#include "io/graph_file_poisson.h"
#include "io/graph_file_samples.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

size_t Find(const Bytes& bytes, std::string_view marker) {
  return std::string(bytes.begin(), bytes.end()).rfind(marker);
}

// The demo graph whose fit uses Poisson likelihood, and a second one on the
// other set that does too; the first set's fit also has a bound, so both
// blocks are written.
void BuildPoissonGraph(CZentrelDoc& doc) {
  BuildDemoGraph(doc);
  doc.sets[0]->fits[0]->weighting = kWeightPoisson;
  doc.sets[0]->fits[0]->lowerBounds[3] = 0;
  for (int weighting : {kWeightInverseY, kWeightPoisson}) {
    auto fit = std::make_unique<Fit>();
    fit->fitStart = 0, fit->fitEnd = 5;
    fit->weighting = weighting;
    doc.sets[1]->fits.push_back(std::move(fit));
  }
  doc.sets[1]->ReattachFits();
}

TEST(GraphFilePoisson, OtherWeightingsAreStoredAsBefore) {
  CZentrelDoc demo;
  BuildDemoGraph(demo);
  const Bytes before = GraphFileBytes(demo);
  for (int weighting : {kWeightEqual, kWeightInverseY, kWeightInverseSigmaSquared, kWeightInverseSqrtY}) {
    CZentrelDoc doc;
    BuildDemoGraph(doc);
    doc.sets[0]->fits[0]->weighting = weighting;
    const Bytes bytes = GraphFileBytes(doc);
    EXPECT_EQ(Find(bytes, kPoissonBlockMarker), std::string::npos) << weighting;
    EXPECT_EQ(bytes.size(), before.size()) << weighting;
    CZentrelDoc back;
    ASSERT_TRUE(LoadGraph(bytes, back).ok);
    EXPECT_EQ(back.sets[0]->fits[0]->weighting, weighting);
  }
}

TEST(GraphFilePoisson, TheBlockFollowsTheBoundsAndComesBackWhole) {
  CZentrelDoc doc;
  BuildPoissonGraph(doc);
  const Bytes bytes = GraphFileBytes(doc);
  const size_t bounds = Find(bytes, kBoundsBlockMarker);
  const size_t poisson = Find(bytes, kPoissonBlockMarker);
  ASSERT_NE(bounds, std::string::npos);
  ASSERT_NE(poisson, std::string::npos);
  EXPECT_LT(bounds, poisson);
  // Marker, version, count, two entries: the end of the file.
  EXPECT_EQ(bytes.size() - poisson, 8u + 1 + 4 + 2 * 8);

  CZentrelDoc back;
  const GraphLoadResult result = LoadGraph(bytes, back);
  ASSERT_TRUE(result.ok) << result.problem << " at " << result.offset;
  EXPECT_EQ(back.sets[0]->fits[0]->weighting, kWeightPoisson);
  EXPECT_EQ(back.sets[0]->fits[0]->lowerBounds[3], 0);
  EXPECT_EQ(back.sets[1]->fits[0]->weighting, kWeightInverseY);
  EXPECT_EQ(back.sets[1]->fits[1]->weighting, kWeightPoisson);
  EXPECT_EQ(GraphFileBytes(back), bytes);

  // What a reader that does not know the block sees: the same fits,
  // weighted 1/Y, and the blocks before it.
  CZentrelDoc older;
  ASSERT_TRUE(LoadGraph(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(poisson)), older).ok);
  EXPECT_EQ(older.sets[0]->fits[0]->weighting, kWeightInverseY);
  EXPECT_EQ(older.sets[0]->fits[0]->lowerBounds[3], 0);
  EXPECT_EQ(older.sets[1]->fits[1]->weighting, kWeightInverseY);
}

TEST(GraphFilePoisson, DamagedBlocksAreRefused) {
  CZentrelDoc plain;
  BuildPoissonGraph(plain);
  for (auto& set : plain.sets)
    for (auto& fit : set->fits) fit->weighting = kWeightInverseY;
  plain.sets[0]->fits[0]->lowerBounds[3] = -HUGE_VAL;
  plain.sets[1]->fits[1]->weighting = kWeightEqual;
  const Bytes base = GraphFileBytes(plain);
  auto block = [&](int version, std::int64_t count, std::vector<std::pair<int, int>> entries) {
    ArchiveWriter out;
    for (char c : kPoissonBlockMarker) out.Byte(static_cast<std::uint8_t>(c));
    out.Byte(static_cast<std::uint8_t>(version));
    out.Dword(count);
    for (auto [s, f] : entries) out.Dword(s), out.Dword(f);
    Bytes bytes = base;
    bytes.insert(bytes.end(), out.bytes().begin(), out.bytes().end());
    return bytes;
  };
  struct Case {
    const char* what;
    Bytes bytes;
    bool ok;
  };
  const Case cases[] = {
      {"two good entries", block(1, 2, {{0, 0}, {1, 0}}), true},
      {"version 2", block(2, 1, {{0, 0}}), false},
      {"no entries", block(1, 0, {}), false},
      {"a count past the file", block(1, 0x7FFFFFFF, {{0, 0}}), false},
      {"entries out of order", block(1, 2, {{1, 0}, {0, 0}}), false},
      {"one fit twice", block(1, 2, {{0, 0}, {0, 0}}), false},
      {"a set past the last", block(1, 1, {{2, 0}}), false},
      {"a fit the set lacks", block(1, 1, {{1, 2}}), false},
      {"a record that does not store 1/Y", block(1, 1, {{1, 1}}), false},
      {"cut inside an entry", [&] { Bytes b = block(1, 1, {{0, 0}}); b.pop_back(); return b; }(), false},
  };
  for (const Case& c : cases) {
    CZentrelDoc doc;
    const GraphLoadResult result = LoadGraph(c.bytes, doc);
    EXPECT_EQ(result.ok, c.ok) << c.what << ": " << result.problem;
    if (!c.ok) {
      EXPECT_FALSE(result.problem.empty()) << c.what;
    }
  }
  CZentrelDoc good;
  ASSERT_TRUE(LoadGraph(cases[0].bytes, good).ok);
  EXPECT_EQ(good.sets[0]->fits[0]->weighting, kWeightPoisson);
  EXPECT_EQ(good.sets[1]->fits[0]->weighting, kWeightPoisson);
  EXPECT_EQ(good.sets[1]->fits[1]->weighting, kWeightEqual);
}

}  // namespace
}  // namespace zentrel
