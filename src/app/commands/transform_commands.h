#pragma once
// Fourier transform, power spectrum, convolution and autocorrelation commands.

#include <memory>

#include "app/commands/command_outcome.h"

namespace zentrel {

class Data_Set;

// Adds an autocorrelation (autoscaled, "Autocorrelation done!"), or
// reports "Error autocorrelating set" when there is none; then redraws.
// Autocorrelation and Residual Autocorrelation end alike.
CommandOutcome FinishAutocorrelation(std::unique_ptr<Data_Set> result);

}  // namespace zentrel
