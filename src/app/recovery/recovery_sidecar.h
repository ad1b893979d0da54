#pragma once
// What a recovery copy cannot hold, kept beside it ("<id>.json"): the file
// the document came from, and the sets' full names and modified flags
// (the graph file stores bare names and no flags). It names the copy it
// describes by size and checksum, so a note left from an earlier write
// never relabels a newer copy.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

class CZentrelDoc;

struct RecoverySidecar {
  struct SetNote {
    std::string name;
    bool modified = false;
  };
  std::string originalPath;  // empty: the document had no file
  std::uint64_t copySize = 0;
  std::uint64_t copyChecksum = 0;
  std::vector<SetNote> sets;
};

// FNV-1a, 64 bits: enough to tell one copy from the next.
std::uint64_t CopyChecksum(std::span<const std::uint8_t> bytes);

// The note for a copy of `doc` made of `copyBytes`.
RecoverySidecar SidecarFor(const CZentrelDoc& doc, std::span<const std::uint8_t> copyBytes);
std::string SidecarText(const RecoverySidecar& sidecar);
// Nothing when the text is not a note this program wrote.
std::optional<RecoverySidecar> ParseSidecar(std::string_view text);
bool SidecarDescribes(const RecoverySidecar& sidecar, std::span<const std::uint8_t> copyBytes);
// Gives the sets read from the copy back their full names and flags; a
// note for a different number of sets changes nothing.
void ApplySetNotes(const RecoverySidecar& sidecar, CZentrelDoc& doc);

}  // namespace zentrel
