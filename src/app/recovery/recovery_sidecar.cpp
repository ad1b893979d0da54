#include "app/recovery/recovery_sidecar.h"

#include <charconv>

#include <nlohmann/json.hpp>

#include "model/document.h"

namespace zentrel {

namespace {

constexpr int kFormat = 1;

std::string Hex(std::uint64_t value) {
  char text[17] = {};
  const auto end = std::to_chars(text, text + 16, value, 16).ptr;
  return std::string(text, end);
}

std::optional<std::uint64_t> FromHex(const std::string& text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

std::uint64_t CopyChecksum(std::span<const std::uint8_t> bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const std::uint8_t byte : bytes) {
    hash ^= byte;
    hash *= 1099511628211ull;
  }
  return hash;
}

RecoverySidecar SidecarFor(const CZentrelDoc& doc, std::span<const std::uint8_t> copyBytes) {
  RecoverySidecar sidecar;
  // A recovered document not saved since still comes from its first file.
  sidecar.originalPath = doc.pathName.empty() ? doc.recoveredFrom : doc.pathName;
  sidecar.copySize = copyBytes.size();
  sidecar.copyChecksum = CopyChecksum(copyBytes);
  for (const auto& set : doc.sets) sidecar.sets.push_back({set->name, set->modified});
  return sidecar;
}

std::string SidecarText(const RecoverySidecar& sidecar) {
  nlohmann::ordered_json json;
  json["format"] = kFormat;
  json["original"] = sidecar.originalPath;
  json["copy_size"] = sidecar.copySize;
  json["copy_checksum"] = Hex(sidecar.copyChecksum);
  nlohmann::ordered_json sets = nlohmann::ordered_json::array();
  for (const auto& set : sidecar.sets) sets.push_back({{"name", set.name}, {"modified", set.modified}});
  json["sets"] = sets;
  // Names are the user's: bytes that are not UTF-8 are replaced, not fatal.
  return json.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::optional<RecoverySidecar> ParseSidecar(std::string_view text) {
  const nlohmann::json json = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!json.is_object()) return std::nullopt;
  const auto format = json.find("format");
  const auto original = json.find("original");
  const auto size = json.find("copy_size");
  const auto checksum = json.find("copy_checksum");
  const auto sets = json.find("sets");
  if (format == json.end() || !format->is_number_integer() || format->get<int>() != kFormat) return std::nullopt;
  if (original == json.end() || !original->is_string()) return std::nullopt;
  if (size == json.end() || !size->is_number_unsigned()) return std::nullopt;
  if (checksum == json.end() || !checksum->is_string()) return std::nullopt;
  if (sets == json.end() || !sets->is_array()) return std::nullopt;
  RecoverySidecar sidecar;
  sidecar.originalPath = original->get<std::string>();
  sidecar.copySize = size->get<std::uint64_t>();
  const auto sum = FromHex(checksum->get<std::string>());
  if (!sum) return std::nullopt;
  sidecar.copyChecksum = *sum;
  for (const auto& set : *sets) {
    if (!set.is_object()) return std::nullopt;
    const auto name = set.find("name");
    const auto modified = set.find("modified");
    if (name == set.end() || !name->is_string() || modified == set.end() || !modified->is_boolean())
      return std::nullopt;
    sidecar.sets.push_back({name->get<std::string>(), modified->get<bool>()});
  }
  return sidecar;
}

bool SidecarDescribes(const RecoverySidecar& sidecar, std::span<const std::uint8_t> copyBytes) {
  return sidecar.copySize == copyBytes.size() && sidecar.copyChecksum == CopyChecksum(copyBytes);
}

void ApplySetNotes(const RecoverySidecar& sidecar, CZentrelDoc& doc) {
  if (sidecar.sets.size() != doc.sets.size()) return;
  for (std::size_t i = 0; i < doc.sets.size(); ++i) {
    doc.sets[i]->name = sidecar.sets[i].name;
    doc.sets[i]->modified = sidecar.sets[i].modified;
  }
}

}  // namespace zentrel
