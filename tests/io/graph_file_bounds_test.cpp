// Parameter bounds in the graph file: a graph without bounds is stored as
// it always was, byte for byte; bounds follow the abbreviation switch in a
// block that comes back whole, and a damaged block is refused.

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fit/fit_bounds.h"
#include "io/archive_writer.h"
#include "io/graph_file.h"
#include "io/graph_file_bounds.h"
#include "io/graph_file_samples.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

Bytes DemoBytes() {
  CZentrelDoc demo;
  BuildDemoGraph(demo);
  return GraphFileBytes(demo);
}

Bytes BoundedBytes() {
  CZentrelDoc doc;
  BuildBoundedGraph(doc);
  return GraphFileBytes(doc);
}

TEST(GraphFileBounds, AGraphWithoutBoundsIsStoredAsBefore) {
  // The example graph in the repository was written before fits had bounds.
  std::ifstream in(std::filesystem::path(ZENTREL_SOURCE_DIR) / "examples/demo.ztl", std::ios::binary);
  ASSERT_TRUE(in);
  const Bytes stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(DemoBytes(), stored);

  // Bounds set and removed again leave no trace; infinite ones are none.
  CZentrelDoc doc;
  BuildBoundedGraph(doc);
  doc.sets[1]->fits.pop_back();
  ClearBounds(*doc.sets[0]->fits[0]);
  doc.sets[0]->fits[0]->upperBounds[4] = HUGE_VAL;
  EXPECT_EQ(GraphFileBytes(doc), stored);
}

TEST(GraphFileBounds, BoundsFollowTheSwitchAndComeBackWhole) {
  const Bytes bounded = BoundedBytes();
  CZentrelDoc built;
  BuildBoundedGraph(built);
  // What a reader that stops at the switch sees: the fits without their
  // bounds. The block is what follows.
  const Bytes withoutBlock(bounded.begin(), bounded.end() - static_cast<long>(8 + 1 + 4 + 2 * (8 + 17 * 16)));
  CZentrelDoc older;
  ASSERT_TRUE(LoadGraph(withoutBlock, older).ok);
  EXPECT_FALSE(HasBounds(*older.sets[0]->fits[0]));
  EXPECT_EQ(std::string(bounded.begin() + static_cast<long>(withoutBlock.size()),
                        bounded.begin() + static_cast<long>(withoutBlock.size()) + 8),
            kBoundsBlockMarker);

  CZentrelDoc back;
  const GraphLoadResult result = LoadGraph(bounded, back);
  ASSERT_TRUE(result.ok) << result.problem << " at " << result.offset;
  ASSERT_EQ(back.sets[1]->fits.size(), 1u);
  for (auto [s, f] : {std::pair{0, 0}, std::pair{1, 0}}) {
    const Fit& a = *built.sets[static_cast<size_t>(s)]->fits[static_cast<size_t>(f)];
    const Fit& b = *back.sets[static_cast<size_t>(s)]->fits[static_cast<size_t>(f)];
    for (int i = 0; i < kMaxFitParameters; ++i) {
      EXPECT_TRUE(SameBits(a.lowerBounds[static_cast<size_t>(i)], b.lowerBounds[static_cast<size_t>(i)])) << s << f << i;
      EXPECT_TRUE(SameBits(a.upperBounds[static_cast<size_t>(i)], b.upperBounds[static_cast<size_t>(i)])) << s << f << i;
    }
  }
  EXPECT_EQ(GraphFileBytes(back), bounded);
  // A copy of a set (undo, Copy Set) keeps them too.
  Data_Set copy(*back.sets[0]);
  EXPECT_EQ(copy.fits[0]->upperBounds[3], 4);
}

TEST(GraphFileBounds, EveryCutInsideTheBlockIsRefused) {
  const Bytes bounded = BoundedBytes();
  const std::string text(bounded.begin(), bounded.end());
  const size_t start = text.rfind(kBoundsBlockMarker);
  ASSERT_NE(start, std::string::npos);
  for (size_t n = start; n < bounded.size(); ++n) {
    CZentrelDoc doc;
    const GraphLoadResult result = LoadGraph(Bytes(bounded.begin(), bounded.begin() + static_cast<long>(n)), doc);
    // Cut before the marker the file is one without bounds.
    EXPECT_EQ(result.ok, n == start) << "prefix of " << n;
    if (!result.ok) {
      EXPECT_LE(result.offset, n);
    }
  }
}

TEST(GraphFileBounds, DamagedBlocksAreRefusedAndOtherTrailingBytesIgnored) {
  CZentrelDoc plain;
  BuildDemoGraph(plain);
  const Bytes demo = GraphFileBytes(plain);
  // A block by hand: version, count, then entries.
  auto block = [&](int version, std::int64_t count, std::function<void(ArchiveWriter&)> entries) {
    ArchiveWriter out;
    for (char c : kBoundsBlockMarker) out.Byte(static_cast<std::uint8_t>(c));
    out.Byte(static_cast<std::uint8_t>(version));
    out.Dword(count);
    entries(out);
    Bytes bytes = demo;
    bytes.insert(bytes.end(), out.bytes().begin(), out.bytes().end());
    return bytes;
  };
  auto entry = [](ArchiveWriter& out, int set, int fit, double lower, double upper) {
    out.Dword(set);
    out.Dword(fit);
    for (int i = 0; i < kMaxFitParameters; ++i) out.Double(i == 2 ? lower : -HUGE_VAL), out.Double(i == 2 ? upper : HUGE_VAL);
  };
  const double nan = std::nan("");
  struct Case {
    const char* what;
    Bytes bytes;
    bool ok;
  };
  const Case cases[] = {
      {"a good entry", block(1, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, 0, 5); }), true},
      {"other bytes after the switch", [&] { Bytes b = demo; b.push_back('X'), b.push_back('Y'); return b; }(), true},
      {"bytes after a good block", [&] {
         Bytes b = block(1, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, 0, 5); });
         b.push_back(7);
         return b;
       }(), true},
      {"the block twice: the second is trailing bytes", [&] {
         Bytes b = block(1, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, 0, 5); });
         const Bytes again = block(2, 0, [](ArchiveWriter&) {});
         b.insert(b.end(), again.begin() + static_cast<long>(demo.size()), again.end());
         return b;
       }(), true},
      {"the first bytes of the marker", [&] { Bytes b = demo; b.push_back('F'), b.push_back('I'); return b; }(), false},
      {"version 2", block(2, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, 0, 5); }), false},
      {"no entries", block(1, 0, [](ArchiveWriter&) {}), false},
      {"a count past the file", block(1, 0x7FFFFFFF, [&](ArchiveWriter& o) { entry(o, 0, 0, 0, 5); }), false},
      {"a set past the last", block(1, 1, [&](ArchiveWriter& o) { entry(o, 2, 0, 0, 5); }), false},
      {"a negative set", block(1, 1, [&](ArchiveWriter& o) { entry(o, -1, 0, 0, 5); }), false},
      {"a fit the set lacks", block(1, 1, [&](ArchiveWriter& o) { entry(o, 1, 0, 0, 5); }), false},
      {"one fit twice", block(1, 2, [&](ArchiveWriter& o) { entry(o, 0, 0, 0, 5), entry(o, 0, 0, 0, 5); }), false},
      {"a NaN bound", block(1, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, nan, 5); }), false},
      {"lower above upper", block(1, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, 6, 5); }), false},
      {"a lower bound of +inf", block(1, 1, [&](ArchiveWriter& o) { entry(o, 0, 0, HUGE_VAL, HUGE_VAL); }), false},
  };
  for (const Case& c : cases) {
    CZentrelDoc doc;
    const GraphLoadResult result = LoadGraph(c.bytes, doc);
    EXPECT_EQ(result.ok, c.ok) << c.what << ": " << result.problem;
    if (!c.ok) {
      EXPECT_FALSE(result.problem.empty()) << c.what;
      EXPECT_LE(result.offset, c.bytes.size()) << c.what;
    }
  }
  CZentrelDoc good;
  ASSERT_TRUE(LoadGraph(cases[0].bytes, good).ok);
  EXPECT_EQ(good.sets[0]->fits[0]->lowerBounds[2], 0);
  EXPECT_EQ(good.sets[0]->fits[0]->upperBounds[2], 5);
}

}  // namespace
}  // namespace zentrel
