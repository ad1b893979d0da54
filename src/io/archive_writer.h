#pragma once
// Writes the framework archive byte stream that graph files are made of:
// little-endian primitives, length-prefixed 8-bit strings, element counts
// and object tags. One counter per archive numbers classes and objects in
// the order they first appear, so a reader can re-create objects by class.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

class ArchiveWriter {
 public:
  void Byte(std::uint8_t value) { bytes_.push_back(value); }
  // The low 16 bits of the value.
  void Word(std::int64_t value);
  // The low 32 bits, two's complement.
  void Dword(std::int64_t value);
  void Double(double value);
  void Rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
  // Length prefix (1, 3 or 7 bytes), then the characters, no terminator.
  void String(std::string_view text);
  // Element count: a WORD below 0xFFFF, else 0xFFFF and a DWORD.
  void Count(std::uint32_t count);
  // The tag of a new object of a class: the class record the first time
  // the class appears, its number after that.
  void NewObjectTag(std::string_view className, int schema);

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  struct ClassEntry {
    std::string name;
    std::uint32_t number;
  };
  std::vector<std::uint8_t> bytes_;
  std::vector<ClassEntry> classes_;
  std::uint32_t nextNumber_ = 1;
};

}  // namespace zentrel
