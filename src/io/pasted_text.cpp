#include "io/pasted_text.h"

#include <cmath>

#include "io/number_scan.h"
#include "model/data_set.h"

namespace zentrel {

namespace {

constexpr size_t kLineLimit = 254;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

int ParsePastedText(Data_Set& set, std::string_view text) {
  text = text.substr(0, text.find('\0'));
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  if (text.empty()) return kPasteNoText;
  int point = 0;
  size_t start = 0;
  while (true) {
    // LF, CR LF and a lone CR each end a line.
    const size_t lineEnd = text.find_first_of("\r\n", start);
    const bool last = lineEnd == std::string_view::npos;
    std::string_view line = text.substr(start, last ? std::string_view::npos : lineEnd - start);
    size_t next = lineEnd + 1;
    if (!last && text[lineEnd] == '\r' && next < text.size() && text[next] == '\n') ++next;
    if (last && line.empty()) break;
    line = line.substr(0, kLineLimit);
    double values[4];
    int count = 0;
    const char* p = line.data();
    const char* const end = line.data() + line.size();
    while (count < 4) {
      const ScannedNumber number = ScanNumber(p, end);
      if (!number.ok) break;
      values[count++] = number.value;
      p = number.end;
    }
    if (count < 2) return kPasteBadFormat;
    set.SetValue(0, point, values[0]);
    set.SetValue(1, point, values[1]);
    if (count > 2) set.SetValue(2, point, std::fabs(values[2]));
    if (count > 3) set.SetValue(3, point, std::fabs(values[3]));
    ++point;
    if (last) break;
    start = next;
  }
  return kPasteOk;
}

}  // namespace zentrel
