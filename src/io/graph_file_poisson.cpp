#include "io/graph_file_poisson.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "io/archive_reader.h"
#include "io/archive_writer.h"
#include "io/graph_file_trailing.h"
#include "model/fit.h"

namespace zentrel {

namespace {

// One entry: DWORD set index, DWORD fit index.
constexpr std::uint64_t kEntryBytes = 4 + 4;

}  // namespace

int StoredWeighting(int weighting) { return weighting == kWeightPoisson ? kWeightInverseY : weighting; }

void WritePoissonBlock(ArchiveWriter& out, const CZentrelDoc& doc) {
  const std::vector<std::pair<int, int>> poisson =
      FitsUsing(doc, [](const Fit& fit) { return fit.weighting == kWeightPoisson; });
  if (poisson.empty()) return;
  WriteTrailingMarker(out, kPoissonBlockMarker);
  WritePerFitHeader(out, kPoissonBlockVersion, poisson);
  for (const auto& [s, f] : poisson) {
    out.Dword(s);
    out.Dword(f);
  }
}

void ReadPoissonBlockContent(ArchiveReader& in, CZentrelDoc& doc) {
  const std::int32_t count = ReadPerFitHeader(in, kPoissonBlockVersion, kEntryBytes, "Poisson likelihood");
  std::pair<std::int64_t, std::int64_t> previous{-1, -1};
  for (std::int32_t k = 0; k < count; ++k) {
    Fit* fit = ReadPerFitKey(in, doc, previous, "Poisson likelihood");
    if (!fit) return;
    // Written beside a record storing 1/Y; anything else was not written so.
    if (fit->weighting != kWeightInverseY) {
      in.Fail("Poisson likelihood for fit " + std::to_string(previous.second) + " of set " +
              std::to_string(previous.first) + ", whose record stores weighting " + std::to_string(fit->weighting));
      return;
    }
    fit->weighting = kWeightPoisson;
  }
}

}  // namespace zentrel
