#include "io/graph_file_shift.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fit/response_shift.h"
#include "io/archive_reader.h"
#include "io/archive_writer.h"
#include "io/graph_file_trailing.h"
#include "model/data_set.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {

namespace {

// One entry: DWORD set index, DWORD fit index, the shift, its grid step,
// a byte 1 when it is fitted (0 when held).
constexpr std::uint64_t kEntryBytes = 4 + 4 + 8 + 8 + 1;

}  // namespace

void WriteShiftBlock(ArchiveWriter& out, const CZentrelDoc& doc) {
  std::vector<std::pair<int, int>> shifted;
  for (int s = 0; s < doc.SetCount(); ++s) {
    const Data_Set& set = *doc.sets[static_cast<size_t>(s)];
    for (size_t f = 0; f < set.fits.size(); ++f)
      if (ShiftInUse(*set.fits[f])) shifted.emplace_back(s, static_cast<int>(f));
  }
  if (shifted.empty()) return;
  WriteTrailingMarker(out, kShiftBlockMarker);
  out.Byte(kShiftBlockVersion);
  out.Dword(static_cast<std::int64_t>(shifted.size()));
  for (const auto& [s, f] : shifted) {
    const Fit& fit = *doc.sets[static_cast<size_t>(s)]->fits[static_cast<size_t>(f)];
    out.Dword(s);
    out.Dword(f);
    out.Double(fit.shift);
    out.Double(fit.shiftStep);
    out.Byte(fit.shiftFree != 0 ? 1 : 0);
  }
}

void ReadShiftBlockContent(ArchiveReader& in, CZentrelDoc& doc) {
  const int version = in.Byte();
  if (in.ok() && version != kShiftBlockVersion) {
    in.Fail("shift block version " + std::to_string(version) + " is unknown");
    return;
  }
  const std::int32_t count = in.Dword();
  if (!in.ok()) return;
  if (count < 1) {
    in.Fail("a shift block of " + std::to_string(count) + " entries");
    return;
  }
  if (!in.Fits(static_cast<std::uint64_t>(count), kEntryBytes, "a shift entry count of")) return;
  std::pair<std::int64_t, std::int64_t> previous{-1, -1};
  for (std::int32_t k = 0; k < count; ++k) {
    const std::int64_t setIndex = in.Dword();
    const std::int64_t fitIndex = in.Dword();
    const double shift = in.Double();
    const double step = in.Double();
    const int free = in.Byte();
    if (!in.ok()) return;
    // Ascending and each fit once: the order they are written in.
    if (std::pair(setIndex, fitIndex) <= previous) {
      in.Fail("shift entries out of order at set " + std::to_string(setIndex) + ", fit " + std::to_string(fitIndex));
      return;
    }
    previous = {setIndex, fitIndex};
    if (setIndex < 0 || setIndex >= doc.SetCount()) {
      in.Fail("a shift for set " + std::to_string(setIndex) + ", but the file holds " +
              std::to_string(doc.SetCount()) + " set(s)");
      return;
    }
    Data_Set& set = *doc.sets[static_cast<size_t>(setIndex)];
    if (fitIndex < 0 || fitIndex >= static_cast<std::int64_t>(set.fits.size())) {
      in.Fail("a shift for fit " + std::to_string(fitIndex) + " of set " + std::to_string(setIndex) + ", which has " +
              std::to_string(set.fits.size()) + " fit(s)");
      return;
    }
    if (!std::isfinite(shift) || !std::isfinite(step)) {
      in.Fail("the shift of fit " + std::to_string(fitIndex) + " of set " + std::to_string(setIndex) +
              " is not a finite number");
      return;
    }
    if (free != 0 && free != 1) {
      in.Fail("the shift's free flag of fit " + std::to_string(fitIndex) + " of set " + std::to_string(setIndex) +
              " is " + std::to_string(free) + ", not 0 or 1");
      return;
    }
    Fit& fit = *set.fits[static_cast<size_t>(fitIndex)];
    fit.shift = shift;
    fit.shiftStep = step;
    fit.shiftFree = free;
  }
}

}  // namespace zentrel
