#pragma once
// Reads the framework archive byte stream of graph files. Every read is
// bounds-checked; the first problem sticks (later reads return 0), so a
// caller checks ok() where it matters and before anything that allocates
// (Fits() compares a count with the bytes that are left).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

namespace zentrel {

// A class as its record in the stream names it.
struct ArchiveClass {
  std::string name;
  int schema = 0;
};

struct ObjectTag {
  enum class Kind {
    Null,       // no object
    NewObject,  // a new object of `objectClass` follows
    Reference,  // an earlier object, numbered `reference`
    Invalid,    // a tag that names no class, or the stream failed
  };
  Kind kind = Kind::Invalid;
  const ArchiveClass* objectClass = nullptr;
  std::uint32_t reference = 0;
};

class ArchiveReader {
 public:
  explicit ArchiveReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint8_t Byte();
  // Zero-extended.
  std::uint32_t Word();
  std::int32_t Dword();
  double Double();
  void SkipRect() { Skip(16); }
  // The characters as stored (8-bit, no conversion).
  std::string String();
  std::uint32_t Count();
  ObjectTag ReadObjectTag();

  // True when `count` elements of at least `minBytes` each can still
  // follow; otherwise fails with a message naming `what`.
  bool Fits(std::uint64_t count, std::uint64_t minBytes, const char* what);
  // Records a problem found by the caller (the first one sticks).
  void Fail(std::string problem);

  bool ok() const { return problem_.empty(); }
  bool AtEnd() const { return ok() && position_ == bytes_.size(); }
  std::size_t Remaining() const { return bytes_.size() - position_; }
  std::size_t Offset() const { return position_; }
  // Up to n of the next bytes, without reading them.
  std::span<const std::uint8_t> Peek(std::size_t n) const {
    return bytes_.subspan(position_, std::min(n, Remaining()));
  }
  // The first problem and the byte offset it was found at.
  const std::string& problem() const { return problem_; }
  std::size_t problemOffset() const { return problemOffset_; }

 private:
  // The next n bytes, or null (and a failure) when fewer are left.
  const std::uint8_t* Take(std::size_t n);
  void Skip(std::size_t n) { Take(n); }

  struct Numbered {
    bool isClass = false;
    std::size_t classIndex = 0;
  };

  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
  std::string problem_;
  std::size_t problemOffset_ = 0;
  std::deque<ArchiveClass> classes_;  // stable addresses for ObjectTag
  std::vector<Numbered> numbered_;    // entry k-1 is number k
};

}  // namespace zentrel
