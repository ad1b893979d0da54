#pragma once
// The numeric error state: how a failure deep inside a calculation (a math
// function called by a formula, a fit model, the fitting engine) reaches the
// command or dialog that started it. Consumers check `code` after an
// evaluation; non-zero means the result is not to be used.
//
// The state belongs to the calling thread. The GUI runs every calculation on
// its one thread, where this is the program-wide state; batch fits on worker
// threads keep their errors apart.

#include <cstdint>
#include <string>
#include <string_view>

namespace zentrel {

// Values of `code`.
inline constexpr std::int32_t kNoNumericError = 0;
inline constexpr std::int32_t kDomainError = 1;        // "Argument domain"
inline constexpr std::int32_t kSingularityError = 2;   // "Argument singularity"
inline constexpr std::int32_t kOverflowError = 3;      // "overflow range error", "Chi Squared overflow!"
inline constexpr std::int32_t kUnderflow = 4;          // never stored: the result becomes 0
inline constexpr std::int32_t kTotalLossError = 5;     // "Total loss of significance"
inline constexpr std::int32_t kPartialLossError = 6;   // "artial loss of significance"
inline constexpr std::int32_t kLmSingularError = 10;   // "LM matrix singular"

struct NumericError {
  std::int32_t code = kNoNumericError;
  std::string message;
};

// The calling thread's state.
NumericError& NumericErrorState();

void SetNumericError(std::int32_t code, std::string message);
// Back to code 0 and an empty message.
void ClearNumericError();

// Logs a fatal condition of a numerical routine as three lines on standard
// error, then returns: it never ends the program and shows nothing.
void reportNumericError(std::string_view text);

}  // namespace zentrel
