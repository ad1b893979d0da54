#include "util/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace zentrel {

std::string ReplaceRefusal(const std::string& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) != 0) return {};  // a new file: the folder decides
  // Renaming over a device or a pipe would put a plain file in its place.
  if (!S_ISREG(existing.st_mode)) return "not a regular file";
  // The rename only needs the folder's permission; the file's own decides.
  // The superuser may write anything, so for it a file that grants writing
  // to nobody counts as read-only, as an editor treats it.
  const bool writable = ::geteuid() == 0 ? (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0
                                         : ::access(target.c_str(), W_OK) == 0;
  return writable ? std::string() : "permission denied";
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes, const ProgressCallback& progress) {
  namespace fs = std::filesystem;
  std::error_code error;
  // Replace what a link points to, not the link.
  std::string target = path;
  if (fs::is_symlink(path, error)) {
    const fs::path resolved = fs::canonical(path, error);
    if (!error) target = resolved.string();
  }
  if (std::string refusal = ReplaceRefusal(target); !refusal.empty())
    return "cannot replace " + target + ": " + refusal;
  std::string temporary = target + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return "cannot create a file beside " + target + ": " + std::strerror(errno);
  auto abandon = [&](const std::string& why) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return why;
  };
  // The new file keeps the old one's permissions, or gets the usual ones.
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    ::fchmod(fd, existing.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, std::min(kBlock, bytes.size() - written));
    if (n < 0) {
      if (errno == EINTR) continue;
      return abandon("cannot write " + target + ": " + std::strerror(errno));
    }
    written += static_cast<std::size_t>(n);
    if (!ContinueAfter(progress, static_cast<double>(written) / static_cast<double>(bytes.size())))
      return abandon(std::string(kWriteCancelled));
  }
  if (::fsync(fd) != 0) return abandon("cannot write " + target + ": " + std::strerror(errno));
  if (::close(fd) != 0) {
    const std::string why = std::strerror(errno);
    ::unlink(temporary.c_str());
    return "cannot write " + target + ": " + why;
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    ::unlink(temporary.c_str());
    return "cannot replace " + target + ": " + why;
  }
  // Make the rename itself durable; a failure here loses nothing already written.
  const std::string folder = fs::path(target).parent_path().string();
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

}  // namespace zentrel
