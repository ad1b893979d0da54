#include "io/graph_file_bounds.h"

#include <algorithm>
#include <cmath>
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
  std::vector<std::pair<int, int>> bounded;
  for (int s = 0; s < doc.SetCount(); ++s) {
    const Data_Set& set = *doc.sets[static_cast<size_t>(s)];
    for (size_t f = 0; f < set.fits.size(); ++f)
      if (HasBounds(*set.fits[f])) bounded.emplace_back(s, static_cast<int>(f));
  }
  if (bounded.empty()) return;
  WriteTrailingMarker(out, kBoundsBlockMarker);
  out.Byte(kBoundsBlockVersion);
  out.Dword(static_cast<std::int64_t>(bounded.size()));
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
  const int version = in.Byte();
  if (in.ok() && version != kBoundsBlockVersion) {
    in.Fail("bounds block version " + std::to_string(version) + " is unknown");
    return;
  }
  const std::int32_t count = in.Dword();
  if (!in.ok()) return;
  if (count < 1) {
    in.Fail("a bounds block of " + std::to_string(count) + " entries");
    return;
  }
  if (!in.Fits(static_cast<std::uint64_t>(count), kEntryBytes, "a bounds entry count of")) return;
  std::pair<std::int64_t, std::int64_t> previous{-1, -1};
  for (std::int32_t k = 0; k < count; ++k) {
    const std::int64_t setIndex = in.Dword();
    const std::int64_t fitIndex = in.Dword();
    if (!in.ok()) return;
    // Ascending and each fit once: the order they are written in.
    if (std::pair(setIndex, fitIndex) <= previous) {
      in.Fail("bounds entries out of order at set " + std::to_string(setIndex) + ", fit " + std::to_string(fitIndex));
      return;
    }
    previous = {setIndex, fitIndex};
    if (setIndex < 0 || setIndex >= doc.SetCount()) {
      in.Fail("bounds for set " + std::to_string(setIndex) + ", but the file holds " +
              std::to_string(doc.SetCount()) + " set(s)");
      return;
    }
    Data_Set& set = *doc.sets[static_cast<size_t>(setIndex)];
    if (fitIndex < 0 || fitIndex >= static_cast<std::int64_t>(set.fits.size())) {
      in.Fail("bounds for fit " + std::to_string(fitIndex) + " of set " + std::to_string(setIndex) + ", which has " +
              std::to_string(set.fits.size()) + " fit(s)");
      return;
    }
    Fit& fit = *set.fits[static_cast<size_t>(fitIndex)];
    for (int i = 0; i < kMaxFitParameters; ++i) {
      const double lower = in.Double();
      const double upper = in.Double();
      if (!in.ok()) return;
      if (std::string problem = BoundsProblem(lower, upper); !problem.empty()) {
        in.Fail("bounds of parameter " + std::to_string(i) + ": " + problem);
        return;
      }
      // Stored as they are: the values the file holds stay untouched until a run.
      fit.lowerBounds[static_cast<size_t>(i)] = lower;
      fit.upperBounds[static_cast<size_t>(i)] = upper;
    }
  }
}

}  // namespace zentrel
