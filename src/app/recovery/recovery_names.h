#pragma once
// How recovery copies are named. Each window owns one identity for its
// whole life, "<pid>-<16 hex digits>", and three files in the recovery
// folder carry it: "<id>.ztl" the copy (the bytes Save writes), "<id>.json"
// what the copy cannot hold (the original file name, set names and flags)
// and "<id>.lock", held locked by the live window (recovery_lock.h).
// Anything else in the folder is left alone.

#include <filesystem>
#include <string>
#include <string_view>

namespace zentrel {

struct RecoveryPaths {
  std::filesystem::path copy;
  std::filesystem::path sidecar;
  std::filesystem::path lock;
};

// A fresh identity for this process: its pid and 64 random bits, so two
// windows never share one, not even after the pid is reused.
std::string NewRecoveryId();
// Whether `text` has exactly the shape NewRecoveryId makes.
bool IsRecoveryId(std::string_view text);
RecoveryPaths RecoveryPathsFor(const std::filesystem::path& folder, const std::string& id);
// The identity a copy's file name carries; empty for any other name.
std::string RecoveryIdOfCopy(const std::filesystem::path& file);
// Files "<id>.*" that belong to none of the three names: the temporary
// files of a write that was killed half-way.
bool IsLeftoverOf(const std::filesystem::path& file, const std::string& id);

}  // namespace zentrel
