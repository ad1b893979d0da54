#include "io/graph_file_poisson.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "io/archive_reader.h"
#include "io/archive_writer.h"
#include "io/graph_file_trailing.h"
#include "model/data_set.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {

namespace {

// One entry: DWORD set index, DWORD fit index.
constexpr std::uint64_t kEntryBytes = 4 + 4;

std::string Where(std::int64_t setIndex, std::int64_t fitIndex) {
  return "fit " + std::to_string(fitIndex) + " of set " + std::to_string(setIndex);
}

}  // namespace

int StoredWeighting(int weighting) { return weighting == kWeightPoisson ? kWeightInverseY : weighting; }

void WritePoissonBlock(ArchiveWriter& out, const CZentrelDoc& doc) {
  std::vector<std::pair<int, int>> poisson;
  for (int s = 0; s < doc.SetCount(); ++s) {
    const Data_Set& set = *doc.sets[static_cast<size_t>(s)];
    for (size_t f = 0; f < set.fits.size(); ++f)
      if (set.fits[f]->weighting == kWeightPoisson) poisson.emplace_back(s, static_cast<int>(f));
  }
  if (poisson.empty()) return;
  WriteTrailingMarker(out, kPoissonBlockMarker);
  out.Byte(kPoissonBlockVersion);
  out.Dword(static_cast<std::int64_t>(poisson.size()));
  for (const auto& [s, f] : poisson) {
    out.Dword(s);
    out.Dword(f);
  }
}

void ReadPoissonBlockContent(ArchiveReader& in, CZentrelDoc& doc) {
  const int version = in.Byte();
  if (in.ok() && version != kPoissonBlockVersion) {
    in.Fail("Poisson likelihood block version " + std::to_string(version) + " is unknown");
    return;
  }
  const std::int32_t count = in.Dword();
  if (!in.ok()) return;
  if (count < 1) {
    in.Fail("a Poisson likelihood block of " + std::to_string(count) + " entries");
    return;
  }
  if (!in.Fits(static_cast<std::uint64_t>(count), kEntryBytes, "a Poisson likelihood entry count of")) return;
  std::pair<std::int64_t, std::int64_t> previous{-1, -1};
  for (std::int32_t k = 0; k < count; ++k) {
    const std::int64_t setIndex = in.Dword();
    const std::int64_t fitIndex = in.Dword();
    if (!in.ok()) return;
    // Ascending and each fit once: the order they are written in.
    if (std::pair(setIndex, fitIndex) <= previous) {
      in.Fail("Poisson likelihood entries out of order at " + Where(setIndex, fitIndex));
      return;
    }
    previous = {setIndex, fitIndex};
    if (setIndex < 0 || setIndex >= doc.SetCount()) {
      in.Fail("Poisson likelihood for set " + std::to_string(setIndex) + ", but the file holds " +
              std::to_string(doc.SetCount()) + " set(s)");
      return;
    }
    Data_Set& set = *doc.sets[static_cast<size_t>(setIndex)];
    if (fitIndex < 0 || fitIndex >= static_cast<std::int64_t>(set.fits.size())) {
      in.Fail("Poisson likelihood for " + Where(setIndex, fitIndex) + ", which has " +
              std::to_string(set.fits.size()) + " fit(s)");
      return;
    }
    Fit& fit = *set.fits[static_cast<size_t>(fitIndex)];
    // Written beside a record storing 1/Y; anything else was not written so.
    if (fit.weighting != kWeightInverseY) {
      in.Fail("Poisson likelihood for " + Where(setIndex, fitIndex) + ", whose record stores weighting " +
              std::to_string(fit.weighting));
      return;
    }
    fit.weighting = kWeightPoisson;
  }
}

}  // namespace zentrel
