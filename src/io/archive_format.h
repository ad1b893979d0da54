#pragma once
// Constants of the framework archive format shared by its writer and reader.

#include <cstdint>

namespace zentrel {

// Object tags (a WORD before each object of a list).
inline constexpr std::uint32_t kNullTag = 0x0000;
inline constexpr std::uint32_t kNewClassTag = 0xFFFF;  // class record, then a new object
inline constexpr std::uint32_t kClassTag = 0x8000;     // 0x8000 + k: new object of class k
inline constexpr std::uint32_t kBigObjectTag = 0x7FFF;  // a DWORD number follows
inline constexpr std::uint32_t kBigClassTag = 0x80000000;  // in that DWORD: a class number

// Strings: a BYTE length below 255, a WORD length below 65534, else a DWORD.
inline constexpr std::uint32_t kStringWordForm = 0xFF;
inline constexpr std::uint32_t kStringDwordForm = 0xFFFE;
// Counts: a WORD below 65535, else 0xFFFF and a DWORD.
inline constexpr std::uint32_t kCountDwordForm = 0xFFFF;

// Class names are short identifiers; a longer one cannot be ours.
inline constexpr std::uint32_t kMaxClassNameLength = 64;

}  // namespace zentrel
