#pragma once
// Whether bytes are text at all, judged the way the plain text import
// judges them (io/text_reader.h): any NUL byte, a UTF-16 byte-order mark, or
// invalid UTF-8 in more than half of the lines of the first 64 KiB make
// them binary. A Latin-1 line among ASCII lines is still text.

#include <cstddef>
#include <string_view>

#include "io/text_reader.h"

namespace zentrel {

// The bytes of a text's start that decide whether it is UTF-8.
inline constexpr std::size_t kTextSniffBytes = 64 * 1024;

// The verdict on the start of a text: at least kTextSniffBytes of it, or all
// of it. NUL bytes later on are the reader's to find.
BinarySign SniffTextStart(std::string_view start);

// Whether [first, last) is UTF-8; `mayBeCut` allows a character cut off at
// the end.
bool IsUtf8Text(std::string_view text, bool mayBeCut);

}  // namespace zentrel
