#pragma once
// A recovery write in two halves: the copy of what the graph file holds,
// taken on the document's thread (a plain copy of the columns), and the
// serialising and writing, which may run on any thread as they read only
// the snapshot.

#include <memory>
#include <string>

#include "model/graph.h"

namespace zentrel {

class CZentrelDoc;
class RecoveryWriter;

// Every set with its fits, the graph, the abbreviation switch and the
// file names the note records; nothing else of the document.
std::unique_ptr<CZentrelDoc> SnapshotForRecovery(const CZentrelDoc& doc);
// The bytes Save would write for the snapshot, and their note, through
// the writer; an error text, empty on success.
std::string WriteRecoveryCopy(RecoveryWriter& writer, const CZentrelDoc& snapshot, const PageLayout& drawn);

}  // namespace zentrel
