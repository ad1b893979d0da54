#pragma once
// The optional blocks after a graph file's abbreviation switch
// (docs/graph_file.md). Each holds something the fit record of the file's
// schema has no room for and is written only when the document uses it, so
// a graph without any of it is stored byte for byte as before; a reader
// that stops at the switch opens the file without it.
//
// A block is an 8-byte marker and its content. Blocks follow one another in
// the order of the table in graph_file_trailing.cpp, each at most once;
// bytes that do not start with the marker of a later block end the list and
// are ignored, as trailing bytes always were.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zentrel {

class ArchiveReader;
class ArchiveWriter;
class CZentrelDoc;
class Fit;

inline constexpr std::size_t kTrailingMarkerBytes = 8;

struct TrailingBlock {
  std::string_view marker;  // kTrailingMarkerBytes characters
  // Writes the marker and the content when the document needs the block;
  // nothing otherwise.
  void (*write)(ArchiveWriter& out, const CZentrelDoc& doc);
  // Reads the content after the marker; a block that is not whole or not
  // consistent with the sets already read fails the reader with the reason.
  void (*readContent)(ArchiveReader& in, CZentrelDoc& doc);
};

void WriteTrailingBlocks(ArchiveWriter& out, const CZentrelDoc& doc);
void ReadTrailingBlocks(ArchiveReader& in, CZentrelDoc& doc);

// Writes a block's marker.
void WriteTrailingMarker(ArchiveWriter& out, std::string_view marker);

// Most blocks hold one entry per fit that uses a feature: BYTE version,
// DWORD count (at least 1), then per fit, in the order of the sets and of
// their fits, DWORD set index, DWORD fit index and the entry's own fields.
// `what` names the block in the reader's messages ("bounds").

// The (set, fit) indices of the fits that pass `uses`, in file order.
std::vector<std::pair<int, int>> FitsUsing(const CZentrelDoc& doc, bool (*uses)(const Fit&));
// Writes the version and the count.
void WritePerFitHeader(ArchiveWriter& out, int version, const std::vector<std::pair<int, int>>& fits);
// Reads the version and the count, which the remaining bytes must be able to
// hold at entryBytes an entry; 0 after a failure.
std::int32_t ReadPerFitHeader(ArchiveReader& in, int version, std::uint64_t entryBytes, const std::string& what);
// Reads an entry's set and fit index and returns the fit they name, or null
// after a failure: entries come in ascending order, each fit once (previous
// is the last pair read, {-1, -1} before the first), naming a fit the file holds.
Fit* ReadPerFitKey(ArchiveReader& in, CZentrelDoc& doc, std::pair<std::int64_t, std::int64_t>& previous,
                   const std::string& what);

}  // namespace zentrel
