#include "app/script/script_ui.h"

#include <charconv>
#include <utility>

#include "app/dialogs/dialog_model.h"
#include "app/dialogs/set_picker.h"
#include "app/script/script_values.h"
#include "model/document.h"

namespace zentrel {

void ScriptUi::beginLine(const ScriptLine& line) {
  line_ = &line;
  pickersAsked_ = 0;
  error_.clear();
}

void ScriptUi::fail(std::string message) {
  if (error_.empty()) error_ = std::move(message);
}

bool ScriptUi::cancelled() { return line_ != nullptr && line_->takeFlag("cancel"); }

bool ScriptUi::pickFromList(SetPickerModel& picker) {
  std::string key = "fit";
  if (!picker.picksFit) {
    ++pickersAsked_;
    key = pickersAsked_ == 1 ? "set" : "set" + std::to_string(pickersAsked_);
  }
  if (cancelled()) return false;
  const auto answer = line_ ? line_->take(key) : std::nullopt;
  if (!answer) {
    fail("missing answer " + key + "= for \"" + picker.title() + "\"");
    return false;
  }
  if (auto index = ParseInteger(*answer)) {
    if (*index < 0 || *index >= picker.lineCount()) {
      fail(key + "=" + *answer + " is out of range (" + std::to_string(picker.lineCount()) + " to choose from)");
      return false;
    }
    picker.selected = static_cast<int>(*index);
    return true;
  }
  for (int k = 0; k < picker.lineCount(); ++k) {
    if (picker.names()[static_cast<size_t>(k)] == *answer) {
      picker.selected = k;
      return true;
    }
  }
  fail(key + "=\"" + *answer + (picker.picksFit ? "\" names no fit" : "\" names no set"));
  return false;
}

bool ScriptUi::runDialog(DialogModel& dialog) {
  if (cancelled()) return false;
  for (auto& field : dialog.scriptFields()) {
    const auto value = line_ ? line_->take(field.key) : std::nullopt;
    if (!value) continue;  // the field keeps what the dialog showed
    if (auto problem = field.set(*value)) {
      fail(field.key + "=" + *value + ": " + *problem);
      return false;
    }
  }
  if (auto problem = dialog.validate()) {
    fail(dialog.title() + ": " + *problem);
    return false;
  }
  return true;
}

std::optional<std::uint32_t> ScriptUi::chooseColor(std::uint32_t) {
  if (cancelled()) return std::nullopt;
  const auto answer = line_ ? line_->take("color") : std::nullopt;
  if (!answer) {
    fail("missing answer color=");
    return std::nullopt;
  }
  auto colour = ParseColour(*answer);
  if (!colour) fail("color=" + *answer + " is not a colour (#RRGGBB or R,G,B)");
  return colour;
}

std::optional<std::string> ScriptUi::fileAnswer(const char* key, const char* dialog) {
  if (cancelled()) return std::nullopt;
  auto answer = line_ ? line_->take(key) : std::nullopt;
  if (!answer) {
    fail(std::string("missing answer ") + key + "= for the " + dialog + " dialog");
    return std::nullopt;
  }
  static constexpr std::string_view kPlaceholder = "${SCRIPT_DIR}";
  for (size_t at = answer->find(kPlaceholder); at != std::string::npos;
       at = answer->find(kPlaceholder, at + scriptDirectory_.size()))
    answer->replace(at, kPlaceholder.size(), scriptDirectory_);
  return answer;
}

std::optional<std::string> ScriptUi::openFileName(const FileDialogRequest&) { return fileAnswer("file", "open file"); }

std::optional<std::vector<std::string>> ScriptUi::openFileNames(const FileDialogRequest&) {
  const auto answer = fileAnswer("files", "open files");
  if (!answer) return std::nullopt;
  std::vector<std::string> paths;
  size_t start = 0;
  while (true) {
    const size_t comma = answer->find(',', start);
    paths.push_back(answer->substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (paths.back().empty()) {
      fail("files=" + *answer + " holds an empty file name");
      return std::nullopt;
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return paths;
}

std::optional<std::string> ScriptUi::saveFileName(const FileDialogRequest& request) {
  // Never file=: on open or new that names the file to read, and saving the
  // old document there would destroy it.
  if (request.savesChanges) return fileAnswer("save-file", "save changes");
  return fileAnswer("file", "save file");
}

std::optional<bool> ScriptUi::askSaveChanges(const std::string&) {
  const auto answer = line_ ? line_->take("save-changes") : std::nullopt;
  if (!answer || *answer == "no") return false;
  if (*answer == "yes") return true;
  if (*answer != "cancel") fail("save-changes=" + *answer + " must be yes, no or cancel");
  return std::nullopt;
}

void ScriptUi::messageBox(const std::string& text) { messages_.push_back(text); }

void ScriptUi::redraw() {}

std::string ScriptUi::drawImage(const CZentrelDoc& doc, const std::string& path) {
  return drawImage_ ? drawImage_(doc, path) : Ui::drawImage(doc, path);
}

std::vector<std::string> ScriptUi::takeMessages() { return std::exchange(messages_, {}); }

std::optional<std::uint32_t> ParseColour(std::string_view text) {
  auto hexDigits = [](std::string_view digits) -> std::optional<std::uint32_t> {
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
  };
  if (text.size() == 7 && text[0] == '#') {
    auto rgb = hexDigits(text.substr(1));
    if (!rgb) return std::nullopt;
    const std::uint32_t r = (*rgb >> 16) & 0xFF, g = (*rgb >> 8) & 0xFF, b = *rgb & 0xFF;
    return r | (g << 8) | (b << 16);
  }
  if (text.find(',') != std::string_view::npos) {
    auto parts = ParseNumberList(text);
    if (!parts || parts->size() != 3) return std::nullopt;
    std::uint32_t colour = 0;
    for (int k = 0; k < 3; ++k) {
      const double channel = (*parts)[static_cast<size_t>(k)];
      if (!(channel >= 0 && channel <= 255) || channel != static_cast<int>(channel)) return std::nullopt;
      colour |= static_cast<std::uint32_t>(channel) << (8 * k);
    }
    return colour;
  }
  if (text.starts_with("0x") || text.starts_with("0X")) {
    auto value = hexDigits(text.substr(2));
    if (!value || *value > 0xFFFFFF) return std::nullopt;
    return value;
  }
  auto value = ParseInteger(text);
  if (!value || *value < 0 || *value > 0xFFFFFF) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

}  // namespace zentrel
