#include "app/recovery/recovery_store.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <system_error>

#include "io/graph_file.h"
#include "util/atomic_file.h"

namespace zentrel {

namespace fs = std::filesystem;

namespace {

bool IsRegularFile(const fs::path& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() == fs::file_type::regular;
}

std::time_t ModificationTime(const fs::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? info.st_mtime : 0;
}

std::optional<RecoverySidecar> ReadSidecar(const fs::path& path) {
  if (!IsRegularFile(path)) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  if (ReadWholeFile(path.string(), bytes).status != FileReadStatus::Ok) return std::nullopt;
  return ParseSidecar({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

// The identities some file in the folder is named after.
std::set<std::string> IdentitiesIn(const fs::path& folder) {
  std::set<std::string> ids;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos) continue;
    std::string id = name.substr(0, dot);
    if (IsRecoveryId(id)) ids.insert(std::move(id));
  }
  return ids;
}

void RemoveLeftovers(const fs::path& folder, const std::string& id) {
  std::error_code error;
  std::vector<fs::path> leftovers;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (IsLeftoverOf(it->path(), id) && IsRegularFile(it->path())) leftovers.push_back(it->path());
  for (const auto& path : leftovers) fs::remove(path, error);
}

std::string RenameError(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::rename(from, to, error);
  return error ? error.message() : std::string();
}

}  // namespace

std::vector<ClaimedCopy> ClaimOrphanedCopies(const fs::path& folder) {
  std::vector<ClaimedCopy> copies;
  for (const std::string& id : IdentitiesIn(folder)) {
    ClaimedCopy copy;
    copy.id = id;
    copy.paths = RecoveryPathsFor(folder, id);
    // A live window creates its lock before anything else and removes it
    // last, so a lock we can take means its window has ended.
    copy.lock = RecoveryLock::TryTake(copy.paths.lock);
    if (!copy.lock.held()) continue;
    if (!IsRegularFile(copy.paths.copy)) {
      DiscardCopy(copy);  // nothing left to offer: tidy what remains
      continue;
    }
    copy.note = ReadSidecar(copy.paths.sidecar);
    copy.savedAt = ModificationTime(copy.paths.copy);
    copies.push_back(std::move(copy));
  }
  std::stable_sort(copies.begin(), copies.end(),
                   [](const ClaimedCopy& a, const ClaimedCopy& b) { return a.savedAt > b.savedAt; });
  return copies;
}

void DiscardCopy(ClaimedCopy& copy) {
  if (!copy.lock.held()) return;
  std::error_code error;
  if (IsRegularFile(copy.paths.copy)) fs::remove(copy.paths.copy, error);
  if (IsRegularFile(copy.paths.sidecar)) fs::remove(copy.paths.sidecar, error);
  RemoveLeftovers(copy.paths.lock.parent_path(), copy.id);
  copy.lock.RemoveAndRelease();
}

RecoveryWriter::RecoveryWriter(fs::path folder, std::string id)
    : folder_(std::move(folder)), id_(std::move(id)), paths_(RecoveryPathsFor(folder_, id_)) {}

RecoveryWriter::~RecoveryWriter() {
  Remove();
  lock_.RemoveAndRelease();
}

std::string RecoveryWriter::TakeIdentity() {
  if (lock_.held()) return {};
  std::error_code error;
  fs::create_directories(folder_, error);
  if (error) return "cannot create " + folder_.string() + ": " + error.message();
  // Only the user reads the copies of their work.
  fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace, error);
  // Another process tidying the folder may take and remove a lock file
  // between our creating and locking it; a fresh one is ours.
  for (int attempt = 0; attempt < 3 && !lock_.held(); ++attempt) lock_ = RecoveryLock::TryTake(paths_.lock);
  if (!lock_.held()) return "cannot lock " + paths_.lock.string();
  return {};
}

// The atomic writer follows links; a link planted under one of our names
// must not lead a copy onto some other file, so it is removed instead.
void DropLink(const fs::path& path) {
  std::error_code error;
  if (fs::symlink_status(path, error).type() == fs::file_type::symlink) fs::remove(path, error);
}

std::string RecoveryWriter::Write(std::span<const std::uint8_t> bytes, const RecoverySidecar& note) {
  if (std::string error = TakeIdentity(); !error.empty()) return error;
  DropLink(paths_.copy);
  DropLink(paths_.sidecar);
  const std::uint64_t checksum = note.copyChecksum;
  const bool same = hasCopy_ && writtenChecksum_ == checksum && writtenSize_ == bytes.size() &&
                    IsRegularFile(paths_.copy);
  if (!same) {
    if (std::string error = WriteFileAtomically(paths_.copy.string(),
                                                {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        !error.empty())
      return error;
    hasCopy_ = true;
    writtenChecksum_ = checksum;
    writtenSize_ = bytes.size();
  }
  return WriteFileAtomically(paths_.sidecar.string(), SidecarText(note));
}

void RecoveryWriter::Remove() {
  std::error_code error;
  if (IsRegularFile(paths_.copy)) fs::remove(paths_.copy, error);
  if (IsRegularFile(paths_.sidecar)) fs::remove(paths_.sidecar, error);
  hasCopy_ = false;
  writtenChecksum_.reset();
}

bool RecoveryWriter::Adopt(ClaimedCopy& copy) {
  if (!copy.lock.held() || !TakeIdentity().empty()) return false;
  if (!RenameError(copy.paths.copy, paths_.copy).empty()) return false;
  hasCopy_ = true;
  writtenChecksum_.reset();
  std::error_code error;
  if (IsRegularFile(copy.paths.sidecar) && !RenameError(copy.paths.sidecar, paths_.sidecar).empty())
    fs::remove(copy.paths.sidecar, error);
  DiscardCopy(copy);
  return true;
}

}  // namespace zentrel
