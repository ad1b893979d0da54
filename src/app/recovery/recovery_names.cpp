#include "app/recovery/recovery_names.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <random>

namespace zentrel {

namespace {

constexpr std::size_t kTokenDigits = 16;
constexpr std::string_view kCopySuffix = ".ztl";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLowerHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f'); }

}  // namespace

std::string NewRecoveryId() {
  std::random_device entropy;
  const std::uint64_t token = (std::uint64_t{entropy()} << 32) ^ entropy();
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex(kTokenDigits, '0');
  for (std::size_t i = 0; i < kTokenDigits; ++i) hex[kTokenDigits - 1 - i] = kHex[(token >> (4 * i)) & 0xF];
  return std::to_string(::getpid()) + "-" + hex;
}

bool IsRecoveryId(std::string_view text) {
  const std::size_t dash = text.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 10) return false;
  const std::string_view pid = text.substr(0, dash);
  const std::string_view token = text.substr(dash + 1);
  return std::all_of(pid.begin(), pid.end(), IsDigit) && token.size() == kTokenDigits &&
         std::all_of(token.begin(), token.end(), IsLowerHex);
}

RecoveryPaths RecoveryPathsFor(const std::filesystem::path& folder, const std::string& id) {
  return {folder / (id + ".ztl"), folder / (id + ".json"), folder / (id + ".lock")};
}

std::string RecoveryIdOfCopy(const std::filesystem::path& file) {
  const std::string name = file.filename().string();
  if (name.size() <= kCopySuffix.size() || !name.ends_with(kCopySuffix)) return {};
  std::string id = name.substr(0, name.size() - kCopySuffix.size());
  return IsRecoveryId(id) ? id : std::string();
}

bool IsLeftoverOf(const std::filesystem::path& file, const std::string& id) {
  const std::string name = file.filename().string();
  if (!name.starts_with(id + ".")) return false;
  const std::string rest = name.substr(id.size());
  return rest != ".ztl" && rest != ".json" && rest != ".lock";
}

}  // namespace zentrel
