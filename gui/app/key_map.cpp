#include "key_map.h"

#include <QKeySequence>

#include "app/commands/command_table.h"

namespace zentrel {

namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

bool IsCharacterKey(const QString& text) { return text == QStringLiteral("+") || text == QStringLiteral("-"); }

}  // namespace

KeyMap::KeyMap() {
  for (const CommandInfo& command : AllCommands()) {
    for (auto key : command.keys) {
      const QString text = ToQString(key);
      if (IsCharacterKey(text)) {
        byText_.insert(text, command.id);
        continue;
      }
      const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
      if (sequence.count() == 1) byKey_.insert(sequence[0].toCombined(), command.id);
    }
  }
}

int KeyMap::commandFor(const QKeyEvent& event) const {
  const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
  if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    const auto byText = byText_.find(event.text());
    if (byText != byText_.end()) return byText.value();
  }
  const auto byKey = byKey_.find(QKeyCombination(modifiers, Qt::Key(event.key())).toCombined());
  return byKey != byKey_.end() ? byKey.value() : 0;
}

int KeyMap::commandFor(const QString& keyText) const {
  if (IsCharacterKey(keyText)) return byText_.value(keyText, 0);
  const QKeySequence sequence = QKeySequence::fromString(keyText, QKeySequence::PortableText);
  return sequence.count() == 1 ? byKey_.value(sequence[0].toCombined(), 0) : 0;
}

}  // namespace zentrel
