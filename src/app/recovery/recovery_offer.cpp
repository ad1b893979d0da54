#include "app/recovery/recovery_offer.h"

#include <cstdio>

#include "app/commands/file_commands.h"
#include "app/ui.h"
#include "io/graph_file.h"
#include "model/document.h"

namespace zentrel {

std::string RecoveryQuestion(std::time_t savedAt) {
  std::tm local {};
  localtime_r(&savedAt, &local);
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d", local.tm_hour, local.tm_min);
  return std::string("Zentrel did not close normally. Restore the graph it was editing (saved ") + time + ")?";
}

bool RestoreCopy(CZentrelDoc& doc, Ui& ui, const ClaimedCopy& copy) {
  const std::string path = copy.paths.copy.string();
  std::vector<std::uint8_t> bytes;
  const FileReadResult read = ReadWholeFile(path, bytes);
  if (read.status == FileReadStatus::NotFound) {
    ui.messageBox(CannotFindFileMessage(path));
    return false;
  }
  if (read.status != FileReadStatus::Ok) {
    ui.messageBox(FailedToOpenMessage(path, read.reason));
    return false;
  }
  // As Open does: into a document of its own, taken over only when good.
  CZentrelDoc loaded;
  const GraphLoadResult result = LoadGraph(bytes, loaded);
  if (!result.ok) {
    ui.messageBox(FailedToOpenMessage(path, std::string(kUnexpectedFileFormat)));
    return false;
  }
  for (const auto& message : result.messages) ui.messageBox(message);
  if (copy.note && SidecarDescribes(*copy.note, bytes)) ApplySetNotes(*copy.note, loaded);
  TakeOverLoadedGraph(doc, loaded);
  doc.recovered = true;
  if (copy.note) doc.recoveredFrom = copy.note->originalPath;
  // Nothing of it is in a file of the person's yet.
  doc.SetModifiedFlag(true);
  ui.redraw();
  return true;
}

RecoveryOfferResult OfferRecoveredCopies(CZentrelDoc& doc, Ui& ui, RecoveryWriter& writer,
                                         const std::filesystem::path& folder) {
  RecoveryOfferResult result;
  std::vector<ClaimedCopy> copies = ClaimOrphanedCopies(folder);
  for (ClaimedCopy& copy : copies) {
    if (result.restored > 0) {
      ++result.kept;
      continue;
    }
    switch (ui.askRestoreRecovery(RecoveryQuestion(copy.savedAt))) {
      case RecoveryChoice::Restore:
        // A graph on show with changes of its own is offered for saving first.
        if (!SaveModified(doc, ui) || !RestoreCopy(doc, ui, copy)) {
          ++result.kept;
          break;
        }
        // Kept under the old name if it cannot move: offered again, never lost.
        writer.Adopt(copy);
        ++result.restored;
        break;
      case RecoveryChoice::Discard:
        DiscardCopy(copy);
        ++result.discarded;
        break;
      case RecoveryChoice::Later: ++result.kept; break;
    }
  }
  return result;  // unclaimed as `copies` goes: kept copies stay for the next start
}

}  // namespace zentrel
