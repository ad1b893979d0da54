#include "numeric/numeric_error.h"

#include <cstdio>
#include <utility>

namespace zentrel {

NumericError& NumericErrorState() {
  thread_local NumericError state;
  return state;
}

void SetNumericError(std::int32_t code, std::string message) {
  NumericError& state = NumericErrorState();
  state.code = code;
  state.message = std::move(message);
}

void ClearNumericError() { SetNumericError(kNoNumericError, {}); }

void reportNumericError(std::string_view text) {
  std::fputs("Numerical Recipes run-time error...\n", stderr);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputs("\n...now exiting to system...\n", stderr);
  std::fflush(stderr);
}

}  // namespace zentrel
