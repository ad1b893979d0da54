#pragma once
// The question at start: each copy left by a window that did not close
// normally is offered, newest first, and restored, discarded or kept for
// the next start as the person answers.

#include <ctime>
#include <filesystem>
#include <string>

#include "app/recovery/recovery_store.h"

namespace zentrel {

class CZentrelDoc;
class Ui;

// "Zentrel did not close normally. Restore the graph it was editing
// (saved 14:32)?", the time in local time.
std::string RecoveryQuestion(std::time_t savedAt);

// Reads a claimed copy into `doc`, which becomes a modified, untitled
// document that remembers its original file. False when the copy cannot
// be read (the message was shown); the document is then as it was.
bool RestoreCopy(CZentrelDoc& doc, Ui& ui, const ClaimedCopy& copy);

struct RecoveryOfferResult {
  int restored = 0;
  int discarded = 0;
  int kept = 0;
};

// Asks about every orphaned copy in `folder`. A restored copy becomes the
// window's own (`writer`); once one is restored the rest are kept for the
// next start, as the window holds one graph. A copy that cannot be read is
// kept too: a later program may read it.
RecoveryOfferResult OfferRecoveredCopies(CZentrelDoc& doc, Ui& ui, RecoveryWriter& writer,
                                         const std::filesystem::path& folder);

}  // namespace zentrel
