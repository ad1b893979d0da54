#include "app/dialogs/set_operations_dialog.h"

#include <charconv>

#include "model/document.h"
#include "model/fit.h"

namespace zentrel {

std::span<const SetOperationsDialogModel::OperationButton> SetOperationsDialogModel::operationButtons() {
  static const OperationButton buttons[] = {
    {"+", 1001, 1}, {"-", 1002, 2}, {"*", 1003, 3}, {"/", 1004, 4}, {"^", 1005, 5},
  };
  return buttons;
}

SetOperationsDialogModel::SetOperationsDialogModel(const CZentrelDoc& doc) {
  for (int i = 0; i < doc.SetCount(); ++i) {
    const Data_Set& set = *doc.sets[static_cast<size_t>(i)];
    items_.push_back(std::to_string(i) + ":" + set.name);
    for (size_t j = 0; j < set.fits.size(); ++j)
      items_.push_back(std::to_string(i) + "-" + std::to_string(j) + ":" + set.fits[j]->name);
  }
}

namespace {

std::optional<int> LeadingNumber(std::string_view text, size_t& used) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || value < 0) return std::nullopt;
  used = static_cast<size_t>(end - text.data());
  return value;
}

}  // namespace

std::optional<SetOperationsDialogModel::ItemTarget> SetOperationsDialogModel::ParseItem(const std::string& text) {
  const size_t colon = text.find(':');
  const std::string_view head = std::string_view(text).substr(0, colon);
  size_t used = 0;
  const auto set = LeadingNumber(head, used);
  if (!set) return std::nullopt;
  const size_t dash = head.find('-');
  if (dash == std::string_view::npos) return ItemTarget{*set, -1};
  size_t fitUsed = 0;
  const auto fit = LeadingNumber(head.substr(dash + 1), fitUsed);
  if (!fit) return std::nullopt;
  return ItemTarget{*set, *fit};
}

std::vector<DialogField> SetOperationsDialogModel::scriptFields() {
  const auto listField = [this](const char* key, int& selected) {
    return DialogField{key, [this, &selected](std::string_view value) -> std::optional<std::string> {
                         for (size_t k = 0; k < items_.size(); ++k) {
                           const std::string& item = items_[k];
                           if (item == value || item.substr(0, item.find(':')) == value) {
                             selected = static_cast<int>(k);
                             return std::nullopt;
                           }
                         }
                         return "no such set or fit in the list";
                       }};
  };
  std::vector<DialogField> fields;
  fields.push_back(listField("set1", set1));
  fields.push_back(listField("set2", set2));
  fields.push_back({"operation", [this](std::string_view value) -> std::optional<std::string> {
                      for (const auto& button : operationButtons()) {
                        if (value == button.caption) {
                          operation = button.code;
                          return std::nullopt;
                        }
                      }
                      return "the operation is one of + - * / ^";
                    }});
  return fields;
}

}  // namespace zentrel
