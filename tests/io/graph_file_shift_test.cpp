// The response shift in the graph file: a convolved fit whose shift is 0
// and held is stored as it always was, byte for byte; one that uses the
// shift gets a block after the switch that comes back whole, and a damaged
// block is refused.

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/archive_writer.h"
#include "io/graph_file.h"
#include "io/graph_file_bounds.h"
#include "io/graph_file_samples.h"
#include "io/graph_file_shift.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The demo graph with its fit convolved with the second set.
void BuildConvolvedGraph(CZentrelDoc& doc) {
  BuildDemoGraph(doc);
  doc.sets[0]->fits[0]->setConvolutionSource(doc.sets[1].get());
}

Fit& FitOf(CZentrelDoc& doc) { return *doc.sets[0]->fits[0]; }

constexpr size_t kBlockBytes = 8 + 1 + 4 + (4 + 4 + 8 + 8 + 1);

TEST(GraphFileShift, OnlyAShiftInUseAddsTheBlock) {
  CZentrelDoc doc;
  BuildConvolvedGraph(doc);
  const Bytes plain = GraphFileBytes(doc);
  EXPECT_EQ(std::string(plain.begin(), plain.end()).find(kShiftBlockMarker), std::string::npos);
  struct Case {
    const char* what;
    double shift;
    int free;
    bool block;
  };
  const Case cases[] = {
      {"held at 0", 0, 0, false},
      {"held elsewhere", 0.37, 0, true},
      {"free at 0", 0, 1, true},
      {"held at -0", -0.0, 0, false},
  };
  for (const Case& c : cases) {
    FitOf(doc).shift = c.shift;
    FitOf(doc).shiftFree = c.free;
    const Bytes bytes = GraphFileBytes(doc);
    if (!c.block) {
      EXPECT_EQ(bytes, plain) << c.what;
      continue;
    }
    ASSERT_EQ(bytes.size(), plain.size() + kBlockBytes) << c.what;
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), bytes.begin())) << c.what;
  }
  // A fit that no longer convolves has no shift to store.
  FitOf(doc).shift = 0.5;
  FitOf(doc).setConvolutionSource(nullptr);
  CZentrelDoc unconvolved;
  BuildDemoGraph(unconvolved);
  EXPECT_EQ(GraphFileBytes(doc), GraphFileBytes(unconvolved));
}

TEST(GraphFileShift, TheShiftComesBackWholeAndOlderReadersSkipIt) {
  CZentrelDoc doc;
  BuildConvolvedGraph(doc);
  const Bytes plain = GraphFileBytes(doc);
  FitOf(doc).shift = -0.1234567890123;
  FitOf(doc).shiftStep = 0.01;
  FitOf(doc).shiftFree = 1;
  // Bounds too: their block comes first.
  FitOf(doc).upperBounds[3] = 4;
  const Bytes both = GraphFileBytes(doc);
  const std::string text(both.begin(), both.end());
  ASSERT_NE(text.find(kBoundsBlockMarker), std::string::npos);
  EXPECT_LT(text.find(kBoundsBlockMarker), text.find(kShiftBlockMarker));

  CZentrelDoc back;
  const GraphLoadResult result = LoadGraph(both, back);
  ASSERT_TRUE(result.ok) << result.problem << " at " << result.offset;
  const Fit& fit = FitOf(back);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(fit.shift), std::bit_cast<std::uint64_t>(-0.1234567890123));
  EXPECT_EQ(fit.shiftStep, 0.01);
  EXPECT_EQ(fit.shiftFree, 1);
  EXPECT_EQ(fit.upperBounds[3], 4);
  EXPECT_EQ(GraphFileBytes(back), both);
  // Copies of the set (undo, Copy Set) keep it.
  Data_Set copy(*back.sets[0]);
  EXPECT_EQ(copy.fits[0]->shift, fit.shift);
  EXPECT_EQ(copy.fits[0]->shiftFree, 1);

  // What a reader that knows only the bounds, or stops at the switch, sees:
  // the fit convolved without a shift.
  const Bytes boundsOnly(both.begin(), both.end() - static_cast<long>(kBlockBytes));
  CZentrelDoc older;
  ASSERT_TRUE(LoadGraph(boundsOnly, older).ok);
  EXPECT_EQ(FitOf(older).shift, 0);
  EXPECT_EQ(FitOf(older).shiftFree, 0);
  EXPECT_EQ(FitOf(older).convolve, 1);
  FitOf(doc).upperBounds[3] = HUGE_VAL;
  const Bytes shiftOnly = GraphFileBytes(doc);
  CZentrelDoc oldest;
  ASSERT_TRUE(LoadGraph(Bytes(shiftOnly.begin(), shiftOnly.begin() + static_cast<long>(plain.size())), oldest).ok);
  EXPECT_EQ(FitOf(oldest).shift, 0);
}

TEST(GraphFileShift, DamagedBlocksAreRefused) {
  CZentrelDoc doc;
  BuildConvolvedGraph(doc);
  const Bytes plain = GraphFileBytes(doc);
  auto block = [&](int version, std::int64_t count, std::function<void(ArchiveWriter&)> entries) {
    ArchiveWriter out;
    for (char c : kShiftBlockMarker) out.Byte(static_cast<std::uint8_t>(c));
    out.Byte(static_cast<std::uint8_t>(version));
    out.Dword(count);
    entries(out);
    Bytes bytes = plain;
    bytes.insert(bytes.end(), out.bytes().begin(), out.bytes().end());
    return bytes;
  };
  auto entry = [](ArchiveWriter& out, int set, int fit, double shift, int free) {
    out.Dword(set), out.Dword(fit), out.Double(shift), out.Double(0.0), out.Byte(static_cast<std::uint8_t>(free));
  };
  struct Case {
    const char* what;
    Bytes bytes;
    bool ok;
  };
  const Case cases[] = {
      {"a good entry", block(1, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, 0.25, 1); }), true},
      {"version 2", block(2, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, 0.25, 1); }), false},
      {"no entries", block(1, 0, [](ArchiveWriter&) {}), false},
      {"a count past the file", block(1, 1000, [&](ArchiveWriter& o) { entry(o, 0, 0, 0.25, 1); }), false},
      {"a set past the last", block(1, 1, [&](ArchiveWriter& o) { entry(o, 2, 0, 0.25, 1); }), false},
      {"a fit the set lacks", block(1, 1, [&](ArchiveWriter& o) { entry(o, 1, 0, 0.25, 1); }), false},
      {"one fit twice", block(1, 2, [&](ArchiveWriter& o) { entry(o, 0, 0, 0.25, 1), entry(o, 0, 0, 0.5, 1); }), false},
      {"a NaN shift", block(1, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, std::nan(""), 1); }), false},
      {"an infinite shift", block(1, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, HUGE_VAL, 0); }), false},
      {"a free flag of 2", block(1, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, 0.25, 2); }), false},
  };
  for (const Case& c : cases) {
    CZentrelDoc loaded;
    const GraphLoadResult result = LoadGraph(c.bytes, loaded);
    EXPECT_EQ(result.ok, c.ok) << c.what << ": " << result.problem;
    if (!c.ok) {
      EXPECT_FALSE(result.problem.empty()) << c.what;
    }
  }
  // Every cut inside a good block fails; a cut before its marker is a file
  // without it.
  const Bytes& good = cases[0].bytes;
  for (size_t n = plain.size(); n < good.size(); ++n) {
    CZentrelDoc loaded;
    EXPECT_EQ(LoadGraph(Bytes(good.begin(), good.begin() + static_cast<long>(n)), loaded).ok, n == plain.size()) << n;
  }
}

}  // namespace
}  // namespace zentrel
