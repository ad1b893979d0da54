#include "io/graph_file_bounds.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fit/fit_bounds.h"
#include "io/archive_reader.h"
#include "io/archive_writer.h"
#include "io/graph_file_trailing.h"
#include "model/data_set.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {

namespace {

// One entry: DWORD set index, DWORD fit index, then lower and upper bound
// of every parameter slot.
constexpr std::uint64_t kEntryBytes = 4 + 4 + kMaxFitParameters * 16;

}  // namespace

void WriteBoundsBlock(ArchiveWriter& out, const CZentrelDoc& doc) {
  const std::vector<std::pair<int, int>> bounded = FitsUsing(doc, [](const Fit& fit) { return HasBounds(fit); });
  if (bounded.empty()) return;
  WriteTrailingMarker(out, kBoundsBlockMarker);
  WritePerFitHeader(out, kBoundsBlockVersion, bounded);
  for (const auto& [s, f] : bounded) {
    out.Dword(s);
    out.Dword(f);
    const Fit& fit = *doc.sets[static_cast<size_t>(s)]->fits[static_cast<size_t>(f)];
    for (int i = 0; i < kMaxFitParameters; ++i) {
      out.Double(fit.lowerBounds[static_cast<size_t>(i)]);
      out.Double(fit.upperBounds[static_cast<size_t>(i)]);
    }
  }
}

void ReadBoundsBlockContent(ArchiveReader& in, CZentrelDoc& doc) {
  const std::int32_t count = ReadPerFitHeader(in, kBoundsBlockVersion, kEntryBytes, "bounds");
  std::pair<std::int64_t, std::int64_t> previous{-1, -1};
  for (std::int32_t k = 0; k < count; ++k) {
    Fit* fit = ReadPerFitKey(in, doc, previous, "bounds");
    if (!fit) return;
    for (int i = 0; i < kMaxFitParameters; ++i) {
      const double lower = in.Double();
      const double upper = in.Double();
      if (!in.ok()) return;
      if (std::string problem = BoundsProblem(lower, upper); !problem.empty()) {
        in.Fail("bounds of parameter " + std::to_string(i) + ": " + problem);
        return;
      }
      // Stored as they are: the values the file holds stay untouched until a run.
      fit->lowerBounds[static_cast<size_t>(i)] = lower;
      fit->upperBounds[static_cast<size_t>(i)] = upper;
    }
  }
}

}  // namespace zentrel
