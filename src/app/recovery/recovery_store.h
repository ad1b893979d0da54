#pragma once
// The recovery folder: the copy a live window keeps there, and the copies
// of windows that have ended, claimed one process at a time. A copy whose
// lock a live process holds is never listed, read or removed by another.

#include <ctime>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/recovery/recovery_lock.h"
#include "app/recovery/recovery_names.h"
#include "app/recovery/recovery_sidecar.h"

namespace zentrel {

// A copy left by a window that has ended, held by this process (its lock
// taken) for as long as this object lives.
struct ClaimedCopy {
  std::string id;
  RecoveryPaths paths;
  std::optional<RecoverySidecar> note;  // nothing when missing or unreadable
  std::time_t savedAt = 0;              // when the copy was written
  RecoveryLock lock;
};

// The copies in `folder` whose window has ended, newest first. Files of
// ended windows with no copy left (a lock, a note, a half-written
// temporary) are removed on the way; anything not named like ours is left
// alone.
std::vector<ClaimedCopy> ClaimOrphanedCopies(const std::filesystem::path& folder);
// Removes a claimed copy, its note and leftovers, then its lock.
void DiscardCopy(ClaimedCopy& copy);

// One window's own copy. The identity and its lock are taken at the first
// write; destroying the writer (the window's clean exit) removes them all.
class RecoveryWriter {
 public:
  explicit RecoveryWriter(std::filesystem::path folder, std::string id = NewRecoveryId());
  ~RecoveryWriter();
  RecoveryWriter(const RecoveryWriter&) = delete;
  RecoveryWriter& operator=(const RecoveryWriter&) = delete;

  // Writes `bytes` as the copy, then its note; an error text, empty on
  // success. A copy with the same bytes as the one in place is not
  // written again (the note still is: names may have changed).
  std::string Write(std::span<const std::uint8_t> bytes, const RecoverySidecar& note);
  // Removes the copy and its note; the lock stays for the next copy.
  void Remove();
  // Makes a claimed copy this window's own (renamed, not rewritten), so a
  // restored document stays recoverable before its first write. False
  // when it could not be moved: the claimed copy is then left in place.
  bool Adopt(ClaimedCopy& copy);

  bool hasCopy() const { return hasCopy_; }
  const std::string& id() const { return id_; }
  const RecoveryPaths& paths() const { return paths_; }

 private:
  std::string TakeIdentity();

  std::filesystem::path folder_;
  std::string id_;
  RecoveryPaths paths_;
  RecoveryLock lock_;
  bool hasCopy_ = false;
  std::optional<std::uint64_t> writtenChecksum_;
  std::uint64_t writtenSize_ = 0;
};

}  // namespace zentrel
