#include "app/recovery/recovery_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace zentrel {

RecoveryLock::~RecoveryLock() { Release(); }

RecoveryLock::RecoveryLock(RecoveryLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

RecoveryLock& RecoveryLock::operator=(RecoveryLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

RecoveryLock RecoveryLock::TryTake(const std::filesystem::path& path) {
  RecoveryLock lock;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return lock;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return lock;
  }
  // The file may have been unlinked by its previous holder between our open
  // and our lock: a lock on a file no longer in the folder guards nothing.
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0 || named.st_ino != info.st_ino || named.st_dev != info.st_dev) {
    ::close(fd);
    return lock;
  }
  lock.fd_ = fd;
  lock.path_ = path;
  return lock;
}

void RecoveryLock::RemoveAndRelease() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  Release();
}

void RecoveryLock::Release() {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the only descriptor drops the lock
  fd_ = -1;
}

}  // namespace zentrel
