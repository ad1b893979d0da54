#include "app/recovery/recovery_snapshot.h"

#include "app/recovery/recovery_sidecar.h"
#include "app/recovery/recovery_store.h"
#include "io/graph_file.h"
#include "model/document.h"

namespace zentrel {

std::unique_ptr<CZentrelDoc> SnapshotForRecovery(const CZentrelDoc& doc) {
  auto snapshot = std::make_unique<CZentrelDoc>();
  snapshot->sets = CopySetList(doc.sets);
  snapshot->graph = doc.graph;
  snapshot->useAbbreviations = doc.useAbbreviations;
  snapshot->pathName = doc.pathName;
  snapshot->recovered = doc.recovered;
  snapshot->recoveredFrom = doc.recoveredFrom;
  return snapshot;
}

std::string WriteRecoveryCopy(RecoveryWriter& writer, const CZentrelDoc& snapshot, const PageLayout& drawn) {
  const std::vector<std::uint8_t> bytes = GraphFileBytes(snapshot, drawn);
  return writer.Write(bytes, SidecarFor(snapshot, bytes));
}

}  // namespace zentrel
