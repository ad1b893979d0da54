#pragma once
// Who owns a recovery copy: the process holding its lock file locked. The
// lock (flock) belongs to the open file, so the system drops it the moment
// the process ends, however it ends, and a second open of the same file
// cannot take it while the first holds it, in this process or another.

#include <filesystem>
#include <string>

namespace zentrel {

class RecoveryLock {
 public:
  RecoveryLock() = default;
  ~RecoveryLock();
  RecoveryLock(RecoveryLock&& other) noexcept;
  RecoveryLock& operator=(RecoveryLock&& other) noexcept;
  RecoveryLock(const RecoveryLock&) = delete;
  RecoveryLock& operator=(const RecoveryLock&) = delete;

  // Opens (creating it if need be) and locks `path` without waiting. An
  // empty lock when another open file holds it, or it cannot be opened (a
  // link, a folder, no permission): either way not ours to take.
  static RecoveryLock TryTake(const std::filesystem::path& path);

  bool held() const { return fd_ >= 0; }
  const std::filesystem::path& path() const { return path_; }
  // Unlinks the lock file, then lets go of the lock. Removing first means
  // nobody can take a lock on a file that is about to vanish.
  void RemoveAndRelease();
  // Lets go of the lock and leaves the file.
  void Release();

 private:
  int fd_ = -1;
  std::filesystem::path path_;
};

}  // namespace zentrel
