#pragma once
// Fourier transform, power spectrum, convolution and autocorrelation commands.

#include <string>

#include "analysis/autocorrelation.h"
#include "app/commands/command_outcome.h"

namespace zentrel {

class Data_Set;
class Ui;

// Autocorrelates `source` with the progress dialog up ("Autocorrelating
// NAME..."); Autocorrelation and Residual Autocorrelation both run this.
AutocorrelationResult AutocorrelateWithProgress(Ui& ui, Data_Set& source, const std::string& name);

// Adds an autocorrelation (autoscaled, "Autocorrelation done!"), reports
// "Autocorrelation cancelled" when the person stopped it, or "Error
// autocorrelating set" when there is none; then redraws. Autocorrelation
// and Residual Autocorrelation end alike.
CommandOutcome FinishAutocorrelation(AutocorrelationResult result);

}  // namespace zentrel
