#include "app/dialogs/fft_options_dialog.h"

#include <optional>
#include <utility>

#include "app/script/script_values.h"

namespace zentrel {

namespace {

FieldSetter Switch(bool& target) {
  return [&target](std::string_view value) -> std::optional<std::string> {
    if (value == "yes" || value == "on" || value == "1") {
      target = true;
    } else if (value == "no" || value == "off" || value == "0") {
      target = false;
    } else {
      return "expected yes or no";
    }
    return std::nullopt;
  };
}

}  // namespace

FftOptionsDialogModel::FftOptionsDialogModel(std::vector<std::string> setNames) {
  entries_.reserve(setNames.size() + 1);
  entries_.emplace_back(kAllPointsZero);
  for (auto& name : setNames) entries_.push_back(std::move(name));
  // With no set the real list can only show its first entry.
  if (entries_.size() < 2) realSelection = 0;
}

std::vector<DialogField> FftOptionsDialogModel::scriptFields() {
  auto list = [this](int& selection) -> FieldSetter {
    return [this, &selection](std::string_view value) -> std::optional<std::string> {
      const int count = static_cast<int>(entries_.size());
      if (auto index = ParseInteger(value)) {
        if (*index < -1 || *index >= count - 1)
          return "set index out of range (-1 to " + std::to_string(count - 2) + ")";
        selection = static_cast<int>(*index) + 1;
        return std::nullopt;
      }
      for (int k = 0; k < count; ++k) {
        if (entries_[static_cast<size_t>(k)] == value) {
          selection = k;
          return std::nullopt;
        }
      }
      return "names no set";
    };
  };
  return {
      {"transform-direciton",
       [this](std::string_view value) -> std::optional<std::string> {
         if (value == "forward") {
           direction = 1;
         } else if (value == "inverse") {
           direction = -1;
         } else {
           return "expected forward or inverse";
         }
         return std::nullopt;
       }},
      {"real-dataset", list(realSelection)},
      {"imaginary-dataset", list(imaginarySelection)},
      {"real-and-imaginary", Switch(realAndImaginary)},
      {"power-spectrum", Switch(powerSpectrum)},
      {"amplitude-and-phase", Switch(amplitudeAndPhase)},
  };
}

}  // namespace zentrel
