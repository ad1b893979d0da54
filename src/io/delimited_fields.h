#pragma once
// Splitting delimited text into records and fields, with quoted fields as
// spreadsheets write them. A record is one line, or several when a quoted
// field holds line ends (LF, CR LF or a lone CR each end a line). A field
// that starts with a double quote (after blanks) runs to the quote that
// closes it; two quotes inside stand for one, and delimiters and line ends
// inside are ordinary characters. A quote anywhere else is an ordinary
// character.

#include <optional>
#include <string>
#include <string_view>

#include "io/import_options.h"

namespace zentrel {

struct FieldRules {
  // ',', ';' or '\t': every one parts two fields, so empty fields count.
  // 0: runs of blanks and tabs part the fields (and of commas too with
  // `commaToo`, as the plain import does); blanks at either end make none.
  char delimiter = 0;
  bool commaToo = false;
  bool decimalComma = false;
};

// The rules the options ask for; Auto is runs of blanks, tabs and commas,
// or of blanks and tabs alone with decimal commas.
FieldRules FieldRulesFor(const ImportOptions& options);

inline bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Where the record that starts at `first` ends.
struct RecordScan {
  enum class Kind {
    Complete,       // [first, end) is the record; the next starts at `next`
    NeedMore,       // the text ends before the record does; present more
    UnclosedQuote,  // at the end of the text a quoted field is still open
  };
  Kind kind = Kind::NeedMore;
  const char* end = nullptr;
  const char* next = nullptr;
};

// With `atEnd` the text ends at `last`. Without `quotes` a quote is an
// ordinary character (how a record is read again after UnclosedQuote).
RecordScan ScanRecord(const char* first, const char* last, const FieldRules& rules, bool quotes, bool atEnd);

// The end of the physical line that starts at `first`: NeedMore without a
// line end, or when a CR ends the text that an LF might follow.
RecordScan ScanLine(const char* first, const char* last, bool atEnd);

// One field of a record as it stands in the text.
struct RawField {
  const char* first = nullptr;
  const char* last = nullptr;
  bool quoted = false;  // starts with the opening quote
};

// The fields of one complete record, left to right.
class FieldCursor {
 public:
  FieldCursor(const char* first, const char* last, const FieldRules& rules, bool quotes)
      : p_(first), last_(last), rules_(rules), quotes_(quotes) {}

  // The next field; false after the last.
  bool next(RawField& field);

 private:
  const char* p_;
  const char* last_;
  FieldRules rules_;
  bool quotes_;
  bool done_ = false;
};

// A field's text: blanks at either end dropped, the quotes of a quoted field
// taken away and doubled quotes made single.
std::string FieldText(const RawField& field);

// The field's number, read as the plain import reads it ("%lg", with a
// decimal comma standing for the point), when the whole field is one;
// nothing otherwise. With decimal commas a point makes the field no number
// (it would be a thousands mark, which is not read).
std::optional<double> FieldNumber(const RawField& field, bool decimalComma);
std::optional<double> TextNumber(std::string_view text, bool decimalComma);

// Whether a record holds nothing but blanks.
bool IsBlankRecord(const char* first, const char* last);

}  // namespace zentrel
