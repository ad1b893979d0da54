// Pasted text comes from any program's clipboard. Any bytes must parse
// without a crash; what was pasted must copy and paste back unchanged; and
// numbers must be read exactly as the C library's "%lg" reads them.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "io/number_scan.h"
#include "io/pasted_text.h"
#include "io/text_writer.h"
#include "model/data_set.h"

namespace {

bool SameNumber(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The C library reads hexadecimal forms, which are not numbers here.
void CompareWithScanf(std::string_view text) {
  std::string sample(text.substr(0, 48));
  if (sample.find_first_of(std::string("xX\0", 3)) != std::string::npos) return;
  double expected = 0.0;
  int used = -1;
  const int converted = std::sscanf(sample.c_str(), "%lg%n", &expected, &used);
  const zentrel::ScannedNumber scanned = zentrel::ScanNumber(sample.data(), sample.data() + sample.size());
  if (scanned.ok != (converted == 1)) std::abort();
  if (scanned.ok && (!SameNumber(scanned.value, expected) || scanned.end - sample.data() != used)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CompareWithScanf(text);

  zentrel::Data_Set pasted;
  if (zentrel::ParsePastedText(pasted, text) != zentrel::kPasteOk) return 0;
  const auto copied = zentrel::CopySetText(pasted);
  if (!copied) std::abort();
  zentrel::Data_Set again;
  if (zentrel::ParsePastedText(again, *copied) != zentrel::kPasteOk) std::abort();
  for (int c = 0; c <= pasted.lastColumn(); ++c)
    for (int i = 0; i < pasted.PointCount(0); ++i)
      if (!SameNumber(pasted.GetValue(c, i), again.GetValue(c, i))) std::abort();
  return 0;
}
