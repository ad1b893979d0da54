#include "io/number_scan.h"

#include "io/number_scan_inline.h"

namespace zentrel {

ScannedNumber ScanNumber(const char* first, const char* last) { return scan_detail::ScanNumberInline(first, last, last); }

}  // namespace zentrel
