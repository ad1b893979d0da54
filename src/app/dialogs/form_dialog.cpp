#include "app/dialogs/form_dialog.h"

#include <cctype>
#include <cmath>

#include "numeric/c_format.h"

namespace zentrel {

std::string FormatFieldNumber(double value) { return CFormat("%.15g", value); }

std::optional<double> ParseFieldNumber(const std::string& text) {
  const char* begin = text.c_str();
  while (std::isspace(static_cast<unsigned char>(*begin))) ++begin;
  if (*begin == '\0') return std::nullopt;
  std::size_t used = 0;
  const double value = CStrtod(begin, &used);
  if (used == 0) return std::nullopt;
  const char* end = begin + used;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  if (*end != '\0' || !std::isfinite(value)) return std::nullopt;
  return value;
}

namespace {

std::string KeyOf(const std::string& label) {
  std::string key;
  for (char c : label) {
    if (c == ':') continue;
    key += c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

}  // namespace

std::vector<DialogField> FormDialogModel::scriptFields() {
  std::vector<DialogField> out;
  for (size_t k = 0; k < fields.size(); ++k) {
    out.push_back({KeyOf(fields[k].label), [this, k](std::string_view value) -> std::optional<std::string> {
                     fields[k].text = std::string(value);
                     return std::nullopt;
                   }});
  }
  return out;
}

std::optional<std::string> FormDialogModel::validate() {
  for (const Field& field : fields) {
    if (!field.number) continue;
    const auto value = ParseFieldNumber(field.text);
    if (!value) return "Please enter a number.";
    if (field.min && field.max && (*value < *field.min || *value > *field.max))
      return "Please enter a number between " + FormatFieldNumber(*field.min) + " and " +
             FormatFieldNumber(*field.max) + ".";
  }
  return std::nullopt;
}

void FormDialogModel::addText(int controlId, std::string label, std::string text) {
  fields.push_back({controlId, std::move(label), std::move(text), false, std::nullopt, std::nullopt});
}

void FormDialogModel::addNumber(int controlId, std::string label, double value) {
  fields.push_back({controlId, std::move(label), FormatFieldNumber(value), true, std::nullopt, std::nullopt});
}

void FormDialogModel::addBoundedNumber(int controlId, std::string label, double value, double min, double max) {
  fields.push_back({controlId, std::move(label), FormatFieldNumber(value), true, min, max});
}

double FormDialogModel::number(int index) const {
  return ParseFieldNumber(fields[static_cast<size_t>(index)].text).value_or(0.0);
}

}  // namespace zentrel
