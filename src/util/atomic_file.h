#pragma once
// Every file the program writes goes through here: the bytes go to a
// temporary file beside the target, are flushed to the disk and the
// temporary is renamed over the target, so a failure (or a cancel) at any
// point leaves an existing file as it was. A link is followed: the file it
// points to is replaced, keeping its permissions. A file the user may not
// write, or that is not a regular file, is never replaced.

#include <string>
#include <string_view>

#include "util/progress.h"

namespace zentrel {

// What WriteFileAtomically returns when `progress` stopped it.
inline constexpr std::string_view kWriteCancelled = "cancelled";

// Why an existing `target` must not be replaced ("permission denied", "not
// a regular file"); empty when it may be, or does not exist. The superuser
// is refused only files with no write permission bit at all.
std::string ReplaceRefusal(const std::string& target);

// Returns an error description, empty on success.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes,
                                const ProgressCallback& progress = {});

}  // namespace zentrel
