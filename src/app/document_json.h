#pragma once
// The document as JSON: the stable contract of `dump` and `zentrel-cli info`.

#include <string>

#include <nlohmann/json.hpp>

namespace zentrel {

class CZentrelDoc;

nlohmann::ordered_json DocumentToJson(const CZentrelDoc& doc);

// A number as the document JSON writes it: JSON has no infinities or NaN,
// so those become the strings "inf", "-inf" and "nan".
nlohmann::ordered_json JsonNumber(double v);

}  // namespace zentrel
