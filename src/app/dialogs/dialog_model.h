#pragma once
// Base of every dialog model: the dialog's fields and behaviour without any
// widget. A front end binds widgets to it; the script runner sets fields
// from key=value arguments through scriptFields().

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// Sets a field from text; returns an error message when the text is refused.
using FieldSetter = std::function<std::optional<std::string>(std::string_view)>;

struct DialogField {
  std::string key;  // script name: the label, lower-cased, blanks as '-'
  FieldSetter set;
};

class DialogModel {
 public:
  virtual ~DialogModel() = default;
  virtual std::string title() const = 0;
  virtual std::vector<DialogField> scriptFields() = 0;
  // Called on OK; an error keeps the dialog open (a script line fails).
  virtual std::optional<std::string> validate() { return std::nullopt; }
};

}  // namespace zentrel
