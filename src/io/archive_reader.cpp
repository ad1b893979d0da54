#include "io/archive_reader.h"

#include <bit>
#include <cstring>

#include "io/archive_format.h"

namespace zentrel {

const std::uint8_t* ArchiveReader::Take(std::size_t n) {
  if (!ok()) return nullptr;
  if (n > Remaining()) {
    Fail("the file ends " + std::to_string(n - Remaining()) + " byte(s) early");
    return nullptr;
  }
  const std::uint8_t* at = bytes_.data() + position_;
  position_ += n;
  return at;
}

void ArchiveReader::Fail(std::string problem) {
  if (!ok()) return;
  problem_ = std::move(problem);
  problemOffset_ = position_;
}

std::uint8_t ArchiveReader::Byte() {
  const std::uint8_t* at = Take(1);
  return at ? at[0] : 0;
}

std::uint32_t ArchiveReader::Word() {
  const std::uint8_t* at = Take(2);
  return at ? static_cast<std::uint32_t>(at[0] | (at[1] << 8)) : 0;
}

std::int32_t ArchiveReader::Dword() {
  const std::uint8_t* at = Take(4);
  if (!at) return 0;
  std::uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = (v << 8) | at[k];
  return static_cast<std::int32_t>(v);
}

double ArchiveReader::Double() {
  const std::uint8_t* at = Take(8);
  if (!at) return 0.0;
  std::uint64_t v = 0;
  for (int k = 7; k >= 0; --k) v = (v << 8) | at[k];
  return std::bit_cast<double>(v);
}

std::string ArchiveReader::String() {
  std::uint32_t length = Byte();
  if (length == 0xFF) {
    length = Word();
    if (length == kStringDwordForm) {
      // A marker of wide-character strings elsewhere; never a length here.
      Fail("a string has an unknown length form");
      return {};
    }
    if (length == 0xFFFF) length = static_cast<std::uint32_t>(Dword());
  }
  if (!ok()) return {};
  if (length > Remaining()) {
    Fail("a string of " + std::to_string(length) + " bytes is longer than the rest of the file");
    return {};
  }
  const std::uint8_t* at = Take(length);
  return std::string(reinterpret_cast<const char*>(at), length);
}

std::uint32_t ArchiveReader::Count() {
  std::uint32_t count = Word();
  if (count == kCountDwordForm) count = static_cast<std::uint32_t>(Dword());
  return ok() ? count : 0;
}

bool ArchiveReader::Fits(std::uint64_t count, std::uint64_t minBytes, const char* what) {
  if (!ok()) return false;
  // Both factors are below 2^33 here, so the product cannot overflow.
  if (count > (1ull << 32) || minBytes > (1ull << 32) || count * minBytes > Remaining()) {
    Fail(std::string(what) + " " + std::to_string(count) + " does not fit the rest of the file");
    return false;
  }
  return true;
}

ObjectTag ArchiveReader::ReadObjectTag() {
  ObjectTag tag;
  const std::uint32_t word = Word();
  if (!ok()) return tag;
  std::uint32_t classNumber = 0;
  if (word == kNewClassTag) {
    const int schema = static_cast<int>(Word());
    const std::uint32_t length = Word();
    if (!ok()) return tag;
    if (length == 0 || length > kMaxClassNameLength) {
      Fail("a class name of " + std::to_string(length) + " characters");
      return tag;
    }
    const std::uint8_t* at = Take(length);
    if (!at) return tag;
    classes_.push_back({std::string(reinterpret_cast<const char*>(at), length), schema});
    numbered_.push_back({true, classes_.size() - 1});
    numbered_.push_back({false, 0});
    tag.kind = ObjectTag::Kind::NewObject;
    tag.objectClass = &classes_.back();
    return tag;
  }
  if (word == kBigObjectTag) {
    const auto number = static_cast<std::uint32_t>(Dword());
    if (!ok()) return tag;
    if (number & kBigClassTag) {
      classNumber = number & ~kBigClassTag;
    } else {
      tag.kind = number == 0 ? ObjectTag::Kind::Null : ObjectTag::Kind::Reference;
      tag.reference = number;
      return tag;
    }
  } else if (word & kClassTag) {
    classNumber = word & ~kClassTag;
  } else {
    tag.kind = word == kNullTag ? ObjectTag::Kind::Null : ObjectTag::Kind::Reference;
    tag.reference = word;
    return tag;
  }
  if (classNumber == 0 || classNumber > numbered_.size() || !numbered_[classNumber - 1].isClass) {
    Fail("an object tag names class " + std::to_string(classNumber) + ", which the file never defined");
    return tag;
  }
  numbered_.push_back({false, 0});
  tag.kind = ObjectTag::Kind::NewObject;
  tag.objectClass = &classes_[numbered_[classNumber - 1].classIndex];
  return tag;
}

}  // namespace zentrel
