#pragma once
// Fourier transform, power spectrum, convolution and autocorrelation commands.

#include <memory>

namespace zentrel {

class CZentrelDoc;
class Data_Set;
class Ui;

// Appends an autocorrelation (autoscaled, "Autocorrelation done!"), or
// reports "Error autocorrelating set" when there is none; then redraws.
// Autocorrelation and Residual Autocorrelation end alike.
void FinishAutocorrelation(CZentrelDoc& doc, Ui& ui, std::unique_ptr<Data_Set> result);

}  // namespace zentrel
