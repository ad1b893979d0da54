#include "io/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zentrel {

namespace {

constexpr std::size_t kWindowSize = 64 * 1024;
constexpr std::size_t kSmallRead = 4096;

}  // namespace

std::size_t MemorySource::readAt(std::uint64_t offset, void* out, std::size_t count) const {
  if (offset >= bytes_.size()) return 0;
  const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, bytes_.size() - offset));
  if (n > 0) std::memcpy(out, bytes_.data() + offset, n);
  return n;
}

const char* OpenErrorText(OpenError error) {
  switch (error) {
    case OpenError::None: return "";
    case OpenError::NoSuchFile: return "no such file";
    case OpenError::PermissionDenied: return "permission denied";
    case OpenError::NotRegularFile: return "not a regular file";
    case OpenError::Unreadable: return "cannot be read";
  }
  return "cannot be read";
}

std::unique_ptr<InputFile> InputFile::Open(const std::string& path, OpenError* error) {
  auto fail = [error](OpenError why) {
    if (error != nullptr) *error = why;
    return nullptr;
  };
  if (path.empty()) return fail(OpenError::NoSuchFile);
  // Non-blocking, so opening a FIFO cannot wait for a writer; it is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    switch (errno) {
      case ENOENT:
      case ENOTDIR: return fail(OpenError::NoSuchFile);
      case EACCES:
      case EPERM: return fail(OpenError::PermissionDenied);
      case ENXIO: return fail(OpenError::NotRegularFile);  // a socket, or a FIFO without a writer
      default: return fail(OpenError::Unreadable);
    }
  }
  struct stat info {};
  const bool statted = ::fstat(fd, &info) == 0;
  if (!statted || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return fail(statted ? OpenError::NotRegularFile : OpenError::Unreadable);
  }
  if (error != nullptr) *error = OpenError::None;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return std::unique_ptr<InputFile>(new InputFile(fd, static_cast<std::uint64_t>(info.st_size)));
}

InputFile::~InputFile() { ::close(fd_); }

std::size_t InputFile::readDirect(std::uint64_t offset, void* out, std::size_t count) const {
  auto* bytes = static_cast<unsigned char*>(out);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd_, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::size_t InputFile::readAt(std::uint64_t offset, void* out, std::size_t count) const {
  if (count > kSmallRead) return readDirect(offset, out, count);
  const bool inWindow = offset >= windowStart_ && offset + count <= windowStart_ + window_.size();
  if (!inWindow) {
    window_.resize(kWindowSize);
    window_.resize(readDirect(offset, window_.data(), kWindowSize));
    windowStart_ = offset;
  }
  if (offset < windowStart_ || offset >= windowStart_ + window_.size()) return 0;
  const auto from = static_cast<std::size_t>(offset - windowStart_);
  const std::size_t n = std::min(count, window_.size() - from);
  std::memcpy(out, window_.data() + from, n);
  return n;
}

std::ptrdiff_t InputFile::read(void* out, std::size_t count) {
  const std::ptrdiff_t n = readFrom(position_, out, count);
  if (n > 0) position_ += static_cast<std::uint64_t>(n);
  return n;
}

std::ptrdiff_t InputFile::readFrom(std::uint64_t offset, void* out, std::size_t count) const {
  while (true) {
    const ssize_t n = ::pread(fd_, out, count, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? -1 : n;
  }
}

}  // namespace zentrel
