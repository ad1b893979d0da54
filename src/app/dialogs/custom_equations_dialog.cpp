#include "app/dialogs/custom_equations_dialog.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <memory>
#include <utility>

#include "io/byte_source.h"
#include "util/atomic_file.h"

namespace zentrel {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

}  // namespace

std::vector<std::string> ParseCustomEquations(std::string_view text) {
  std::vector<std::string> entries;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    do {
      const std::size_t length = std::min(line.size(), CustomEquationsDialogModel::kMaxLineLength);
      entries.emplace_back(line.substr(0, length));
      line.remove_prefix(length);
    } while (!line.empty());
  }
  return entries;
}

std::string FormatCustomEquations(const std::vector<std::string>& entries) {
  std::string text;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    if (k > 0) text += '\n';
    text += entries[k];
  }
  return text;
}

void CustomEquationsDialogModel::initialize() {
  if (initialized_) return;
  initialized_ = true;
  loadFile(sourceFile_);
  editText = equation_;
}

bool CustomEquationsDialogModel::loadFile(const std::string& path) {
  // A regular file of sensible size only: a pipe would wait for a writer
  // and a device never end.
  constexpr std::uint64_t kMaxEquationFileBytes = std::uint64_t{16} << 20;
  const std::unique_ptr<InputFile> in = InputFile::Open(path);
  if (!in || in->size() > kMaxEquationFileBytes) return false;
  std::string text(static_cast<std::size_t>(in->size()), '\0');
  text.resize(in->readAt(0, text.data(), text.size()));
  shownSourceFile_ = path;
  entries_.clear();
  selected_ = -1;
  for (auto& entry : ParseCustomEquations(text)) insertSorted(std::move(entry));
  return true;
}

void CustomEquationsDialogModel::load(const std::optional<std::string>& chosen) {
  if (chosen) sourceFile_ = *chosen;
  loadFile(sourceFile_);
}

bool CustomEquationsDialogModel::save(const std::optional<std::string>& chosen) {
  if (!chosen) return false;
  if (!WriteFileAtomically(*chosen, FormatCustomEquations(entries_)).empty()) return false;
  shownSourceFile_ = *chosen;
  sourceFile_ = *chosen;
  return true;
}

FileDialogRequest CustomEquationsDialogModel::loadRequest() const {
  FileDialogRequest request;
  request.filter = "ASCII Text Files (*.txt);;All Files (*)";
  request.defaultExtension = "txt";
  request.initialName = "*.txt";
  return request;
}

FileDialogRequest CustomEquationsDialogModel::saveRequest() const {
  FileDialogRequest request;
  request.filter = "ASCII Text Files (*.txt);;All Files (*)";
  request.defaultExtension = "txt";
  request.initialName = sourceFile_;
  request.overwritePrompt = true;
  request.hideReadOnly = true;
  return request;
}

void CustomEquationsDialogModel::pressLoad(Ui& ui) { load(ui.openFileName(loadRequest())); }

void CustomEquationsDialogModel::pressSave(Ui& ui) { save(ui.saveFileName(saveRequest())); }

void CustomEquationsDialogModel::select(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  selected_ = index;
  equation_ = entries_[static_cast<std::size_t>(index)];
  editText = equation_;
}

void CustomEquationsDialogModel::add() {
  equation_ = editText;
  insertSorted(editText);
}

void CustomEquationsDialogModel::deleteSelected() {
  if (selected_ < 0) return;
  entries_.erase(entries_.begin() + selected_);
  selected_ = -1;
}

void CustomEquationsDialogModel::deleteAll() {
  entries_.clear();
  selected_ = -1;
}

void CustomEquationsDialogModel::insertSorted(std::string entry) {
  const auto at = std::upper_bound(entries_.begin(), entries_.end(), entry, LessIgnoringCase);
  const int index = static_cast<int>(at - entries_.begin());
  entries_.insert(at, std::move(entry));
  // The selection stays on its entry.
  if (selected_ >= index) ++selected_;
}

int CustomEquationsDialogModel::indexOf(std::string_view answer) const {
  long long index = -1;
  const auto [end, error] = std::from_chars(answer.data(), answer.data() + answer.size(), index);
  if (error == std::errc() && end == answer.data() + answer.size())
    return index >= 0 && index < static_cast<long long>(entries_.size()) ? static_cast<int>(index) : -1;
  const auto at = std::find(entries_.begin(), entries_.end(), answer);
  return at == entries_.end() ? -1 : static_cast<int>(at - entries_.begin());
}

std::vector<DialogField> CustomEquationsDialogModel::scriptFields() {
  auto entryField = [this](bool remove) {
    return [this, remove](std::string_view value) -> std::optional<std::string> {
      const int index = indexOf(value);
      if (index < 0) return "no such entry in the list";
      select(index);
      if (remove) deleteSelected();
      return std::nullopt;
    };
  };
  return {
      {"source-file",
       [this](std::string_view value) -> std::optional<std::string> {
         sourceFile_ = std::string(value);
         entries_.clear();
         selected_ = -1;
         shownSourceFile_.clear();
         loadFile(sourceFile_);
         return std::nullopt;
       }},
      {"load",
       [this](std::string_view value) -> std::optional<std::string> {
         if (!loadFile(std::string(value))) return "cannot open the file";
         sourceFile_ = std::string(value);
         return std::nullopt;
       }},
      {"delete-all",
       [this](std::string_view value) -> std::optional<std::string> {
         if (value != "yes") return "answer delete-all=yes";
         deleteAll();
         return std::nullopt;
       }},
      {"delete", entryField(true)},
      {"add",
       [this](std::string_view value) -> std::optional<std::string> {
         if (value.find_first_of("\r\n") != std::string_view::npos) return "an equation is one line";
         editText = std::string(value);
         add();
         return std::nullopt;
       }},
      {"select", entryField(false)},
      {"save",
       [this](std::string_view value) -> std::optional<std::string> {
         if (!save(std::string(value))) return "cannot write the file";
         return std::nullopt;
       }},
  };
}

std::optional<std::string> EditCustomEquations(Ui& ui, std::string& fileName) {
  CustomEquationsDialogModel dialog(fileName);
  dialog.initialize();
  if (!ui.runDialog(dialog)) return std::nullopt;
  fileName = dialog.sourceFile();
  return dialog.equation();
}

}  // namespace zentrel
