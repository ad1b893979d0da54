#pragma once
// The trailing block (io/graph_file_trailing.h) that lists the fits using
// Poisson likelihood (docs/graph_file.md). Their fit records store 1/Y, the
// nearest weighting every reader knows; the block is written only when some
// fit uses Poisson likelihood.

#include <string_view>

namespace zentrel {

class ArchiveReader;
class ArchiveWriter;
class CZentrelDoc;

inline constexpr std::string_view kPoissonBlockMarker = "FITPOISN";
inline constexpr int kPoissonBlockVersion = 1;

// The weighting value a fit record stores for a fit's weighting.
int StoredWeighting(int weighting);

// Appends the block when a fit of the document uses Poisson likelihood;
// writes nothing otherwise.
void WritePoissonBlock(ArchiveWriter& out, const CZentrelDoc& doc);

// Reads the block after its marker: it must be whole and name fits the
// file holds whose records store 1/Y, else the reader fails with the reason.
void ReadPoissonBlockContent(ArchiveReader& in, CZentrelDoc& doc);

}  // namespace zentrel
