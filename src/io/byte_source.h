#pragma once
// Random-access bytes for the binary readers: a read-only file or a block in
// memory (tests, fuzzing). Reads past the end come back short, never fail
// loudly, so a lying header can only ever make a read short.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace zentrel {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const = 0;
  // Copies up to `count` bytes from `offset`; returns how many were copied
  // (fewer at the end of the data or on a read error).
  virtual std::size_t readAt(std::uint64_t offset, void* out, std::size_t count) const = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  std::size_t readAt(std::uint64_t offset, void* out, std::size_t count) const override;

 private:
  std::span<const std::uint8_t> bytes_;
};

// Why InputFile::Open gave nothing.
enum class OpenError {
  None,
  NoSuchFile,
  PermissionDenied,
  NotRegularFile,  // a folder, a device, a pipe, a socket
  Unreadable,      // any other refusal of the system
};

// The reason as a user reads it after "Couldn't open file NAME: ".
const char* OpenErrorText(OpenError error);

// A regular file opened read-only. Small reads go through a window cache so
// walking many chunk headers costs few system calls.
class InputFile : public ByteSource {
 public:
  // Null when the file cannot be opened for reading or is not a regular file
  // (a directory, a device or a pipe could block or never end); `error`,
  // when given, then says why.
  static std::unique_ptr<InputFile> Open(const std::string& path, OpenError* error = nullptr);
  ~InputFile() override;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::uint64_t size() const override { return size_; }
  std::size_t readAt(std::uint64_t offset, void* out, std::size_t count) const override;
  // Sequential reading from the start: bytes read, 0 at the end, -1 on error.
  std::ptrdiff_t read(void* out, std::size_t count);
  // Up to `count` bytes from `offset`, past the window cache, so several
  // threads may read one file at once: bytes read, 0 at the end, -1 on error.
  std::ptrdiff_t readFrom(std::uint64_t offset, void* out, std::size_t count) const;

 private:
  InputFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  std::size_t readDirect(std::uint64_t offset, void* out, std::size_t count) const;

  int fd_;
  std::uint64_t size_;
  std::uint64_t position_ = 0;
  mutable std::vector<std::uint8_t> window_;
  mutable std::uint64_t windowStart_ = 0;
};

}  // namespace zentrel
