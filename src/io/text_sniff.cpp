#include "io/text_sniff.h"

namespace zentrel {

bool IsUtf8Text(std::string_view text, bool mayBeCut) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int extra;
    if (c >= 0xC2 && c <= 0xDF) extra = 1;
    else if (c >= 0xE0 && c <= 0xEF) extra = 2;
    else if (c >= 0xF0 && c <= 0xF4) extra = 3;
    else return false;
    for (int k = 1; k <= extra; ++k) {
      if (p + k >= end) return mayBeCut;
      if ((p[k] & 0xC0) != 0x80) return false;
    }
    p += extra + 1;
  }
  return true;
}

BinarySign SniffTextStart(std::string_view start) {
  if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) return BinarySign::Utf16;
  const bool cut = start.size() > kTextSniffBytes;
  const std::string_view head = start.substr(0, kTextSniffBytes);
  if (head.find('\0') != std::string_view::npos) return BinarySign::NulBytes;
  int lines = 0, invalid = 0;
  std::size_t from = 0;
  while (from < head.size()) {
    std::size_t end = head.find_first_of("\r\n", from);
    const bool lastPiece = end == std::string_view::npos;
    if (lastPiece) end = head.size();
    if (end > from) {
      ++lines;
      if (!IsUtf8Text(head.substr(from, end - from), lastPiece && cut)) ++invalid;
    }
    from = end + 1;
  }
  return 2 * invalid > lines ? BinarySign::InvalidUtf8 : BinarySign::None;
}

}  // namespace zentrel
