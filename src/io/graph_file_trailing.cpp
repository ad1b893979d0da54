#include "io/graph_file_trailing.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "io/archive_reader.h"
#include "io/archive_writer.h"
#include "io/graph_file_bounds.h"
#include "io/graph_file_poisson.h"
#include "io/graph_file_shift.h"
#include "model/data_set.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {

namespace {

// In the order they are written. A new block goes at the end, so that a
// reader that knows only the earlier ones still reads those.
constexpr std::array kTrailingBlocks{
    TrailingBlock{kBoundsBlockMarker, WriteBoundsBlock, ReadBoundsBlockContent},
    TrailingBlock{kPoissonBlockMarker, WritePoissonBlock, ReadPoissonBlockContent},
    TrailingBlock{kShiftBlockMarker, WriteShiftBlock, ReadShiftBlockContent},
};

bool StartsWith(std::string_view marker, std::span<const std::uint8_t> head) {
  return std::equal(head.begin(), head.end(), marker.begin(),
                    [](std::uint8_t byte, char c) { return byte == static_cast<std::uint8_t>(c); });
}

}  // namespace

void WriteTrailingMarker(ArchiveWriter& out, std::string_view marker) {
  for (char c : marker) out.Byte(static_cast<std::uint8_t>(c));
}

std::vector<std::pair<int, int>> FitsUsing(const CZentrelDoc& doc, bool (*uses)(const Fit&)) {
  std::vector<std::pair<int, int>> fits;
  for (int s = 0; s < doc.SetCount(); ++s) {
    const Data_Set& set = *doc.sets[static_cast<size_t>(s)];
    for (size_t f = 0; f < set.fits.size(); ++f)
      if (uses(*set.fits[f])) fits.emplace_back(s, static_cast<int>(f));
  }
  return fits;
}

void WritePerFitHeader(ArchiveWriter& out, int version, const std::vector<std::pair<int, int>>& fits) {
  out.Byte(static_cast<std::uint8_t>(version));
  out.Dword(static_cast<std::int64_t>(fits.size()));
}

std::int32_t ReadPerFitHeader(ArchiveReader& in, int version, std::uint64_t entryBytes, const std::string& what) {
  const int stored = in.Byte();
  if (in.ok() && stored != version) {
    in.Fail(what + " block version " + std::to_string(stored) + " is unknown");
    return 0;
  }
  const std::int32_t count = in.Dword();
  if (!in.ok()) return 0;
  if (count < 1) {
    in.Fail("a " + what + " block of " + std::to_string(count) + " entries");
    return 0;
  }
  const std::string counted = "a " + what + " entry count of";
  return in.Fits(static_cast<std::uint64_t>(count), entryBytes, counted.c_str()) ? count : 0;
}

Fit* ReadPerFitKey(ArchiveReader& in, CZentrelDoc& doc, std::pair<std::int64_t, std::int64_t>& previous,
                   const std::string& what) {
  const std::int64_t setIndex = in.Dword();
  const std::int64_t fitIndex = in.Dword();
  if (!in.ok()) return nullptr;
  const std::string where = "fit " + std::to_string(fitIndex) + " of set " + std::to_string(setIndex);
  // Ascending and each fit once: the order they are written in.
  if (std::pair(setIndex, fitIndex) <= previous) {
    in.Fail(what + " entries out of order at " + where);
    return nullptr;
  }
  previous = {setIndex, fitIndex};
  if (setIndex < 0 || setIndex >= doc.SetCount()) {
    in.Fail(what + " for set " + std::to_string(setIndex) + ", but the file holds " + std::to_string(doc.SetCount()) +
            " set(s)");
    return nullptr;
  }
  Data_Set& set = *doc.sets[static_cast<size_t>(setIndex)];
  if (fitIndex < 0 || fitIndex >= static_cast<std::int64_t>(set.fits.size())) {
    in.Fail(what + " for " + where + ", which has " + std::to_string(set.fits.size()) + " fit(s)");
    return nullptr;
  }
  return set.fits[static_cast<size_t>(fitIndex)].get();
}

void WriteTrailingBlocks(ArchiveWriter& out, const CZentrelDoc& doc) {
  for (const TrailingBlock& block : kTrailingBlocks) block.write(out, doc);
}

void ReadTrailingBlocks(ArchiveReader& in, CZentrelDoc& doc) {
  size_t next = 0;
  while (in.ok() && !in.AtEnd()) {
    const std::span<const std::uint8_t> head = in.Peek(kTrailingMarkerBytes);
    const auto* found = std::find_if(kTrailingBlocks.begin() + static_cast<long>(next), kTrailingBlocks.end(),
                                     [&](const TrailingBlock& block) { return StartsWith(block.marker, head); });
    if (found == kTrailingBlocks.end()) return;  // not ours: ignored
    if (head.size() < kTrailingMarkerBytes) {
      in.Fail("the file ends inside the marker of a " + std::string(found->marker) + " block");
      return;
    }
    for (size_t k = 0; k < kTrailingMarkerBytes; ++k) in.Byte();
    found->readContent(in, doc);
    next = static_cast<size_t>(found - kTrailingBlocks.begin()) + 1;
  }
}

}  // namespace zentrel
