#pragma once
// The document as JSON: the stable contract of `dump` and `zentrel-cli info`.

#include <string>

#include <nlohmann/json.hpp>

namespace zentrel {

class CZentrelDoc;

nlohmann::ordered_json DocumentToJson(const CZentrelDoc& doc);

}  // namespace zentrel
