#pragma once
// The accelerator table: every key of the command table's Keys column,
// matched against key presses. "+" and "-" are matched by the character
// typed, since different layouts produce them with different keys.

#include <QHash>
#include <QKeyEvent>
#include <QString>

namespace zentrel {

class KeyMap {
 public:
  // Built from AllCommands().
  KeyMap();
  // The command a key press runs, 0 when none.
  int commandFor(const QKeyEvent& event) const;
  // The command of a key string as the table writes it ("Ctrl+B", "+").
  int commandFor(const QString& keyText) const;

 private:
  QHash<int, int> byKey_;        // QKeyCombination::toCombined() -> id
  QHash<QString, int> byText_;  // typed character -> id
};

}  // namespace zentrel
