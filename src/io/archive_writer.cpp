#include "io/archive_writer.h"

#include <bit>
#include <cstring>

#include "io/archive_format.h"

namespace zentrel {

void ArchiveWriter::Word(std::int64_t value) {
  const auto v = static_cast<std::uint16_t>(value);
  bytes_.push_back(static_cast<std::uint8_t>(v));
  bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ArchiveWriter::Dword(std::int64_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(v >> shift));
}

void ArchiveWriter::Double(double value) {
  const auto v = std::bit_cast<std::uint64_t>(value);
  for (int shift = 0; shift < 64; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(v >> shift));
}

void ArchiveWriter::Rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  Dword(left);
  Dword(top);
  Dword(right);
  Dword(bottom);
}

void ArchiveWriter::String(std::string_view text) {
  const std::size_t n = text.size();
  if (n < kStringWordForm) {
    Byte(static_cast<std::uint8_t>(n));
  } else if (n < kStringDwordForm) {
    Byte(0xFF);
    Word(static_cast<std::int64_t>(n));
  } else {
    Byte(0xFF);
    Word(0xFFFF);
    Dword(static_cast<std::int64_t>(n));
  }
  bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void ArchiveWriter::Count(std::uint32_t count) {
  if (count < kCountDwordForm) {
    Word(count);
  } else {
    Word(kCountDwordForm);
    Dword(count);
  }
}

void ArchiveWriter::NewObjectTag(std::string_view className, int schema) {
  for (const ClassEntry& entry : classes_) {
    if (entry.name != className) continue;
    if (entry.number < kBigObjectTag) {
      Word(kClassTag | entry.number);
    } else {
      Word(kBigObjectTag);
      Dword(kBigClassTag | entry.number);
    }
    ++nextNumber_;  // the object
    return;
  }
  Word(kNewClassTag);
  Word(schema);
  Word(static_cast<std::int64_t>(className.size()));
  bytes_.insert(bytes_.end(), className.begin(), className.end());
  classes_.push_back({std::string(className), nextNumber_++});
  ++nextNumber_;  // the object
}

}  // namespace zentrel
