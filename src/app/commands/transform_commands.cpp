// Commands that derive new sets by transforms: power spectrum, Fourier
// transform, convolution, deconvolution and autocorrelation.

#include "app/commands/transform_commands.h"

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "analysis/autocorrelation.h"
#include "analysis/convolution.h"
#include "analysis/transforms.h"
#include "app/commands/bindings.h"
#include "app/dialogs/fft_options_dialog.h"
#include "app/dialogs/set_picker.h"
#include "app/ui.h"
#include "model/data_set.h"
#include "model/document.h"
#include "model/autoscale.h"

namespace zentrel {

namespace {

void OnPowerSpectrum(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to transform", true);
  if (!picked) return;
  PowerSpectrumResult result = powerSpectrum(*picked.set);
  doc.statusText = result.message;
  if (result.set) {
    doc.AppendSet(std::move(result.set));
    Autoscale(doc);
    doc.SetModifiedFlag();
  }
  ui.redraw();
}

void OnFourierTransform(CZentrelDoc& doc, Ui& ui) {
  if (doc.SetCount() == 0) {
    doc.statusText = "No Data Sets to transform!";
    return;
  }
  std::vector<std::string> names;
  for (const auto& set : doc.sets) names.push_back(set->name);
  FftOptionsDialogModel dialog(std::move(names));
  if (!ui.runDialog(dialog)) return;
  Data_Set* real = doc.SetAt(dialog.realSetIndex());
  Data_Set* imaginary = doc.SetAt(dialog.imaginarySetIndex());
  if (real == nullptr && imaginary == nullptr) {
    doc.statusText = "No Data Sets selected for transform!";
    return;
  }
  FourierResult result = fourierTransform(real, imaginary, dialog.direction);
  doc.statusText = result.message;
  if (result.real && result.imaginary) {
    // Derived sets first, while both result sets are still at hand.
    std::unique_ptr<Data_Set> spectrum, amplitude, phase;
    if (dialog.powerSpectrum) spectrum = twoSidedPowerSpectrum(*result.real, *result.imaginary);
    if (dialog.amplitudeAndPhase) std::tie(amplitude, phase) = amplitudeAndPhase(*result.real, *result.imaginary);
    bool added = false;
    auto append = [&](std::unique_ptr<Data_Set> set) {
      if (!set) return;
      doc.AppendSet(std::move(set));
      added = true;
    };
    if (dialog.realAndImaginary) {
      append(std::move(result.real));
      append(std::move(result.imaginary));
    }
    append(std::move(spectrum));
    append(std::move(amplitude));
    append(std::move(phase));
    // New sets are unsaved work like any other command's.
    if (added) doc.SetModifiedFlag();
    Autoscale(doc);
  }
  ui.redraw();
}

void Convolve(CZentrelDoc& doc, Ui& ui, int direction) {
  const bool forward = direction == 1;
  PickedSet data = PickSet(doc, ui, forward ? "Select a set to convolve" : "Select a set to deconvolve", true);
  if (!data) return;
  PickedSet response = PickSet(doc, ui, "Select a the instrument response set", true);
  if (!response) return;
  ConvolutionResult result = convolveSets(*data.set, *response.set, direction);
  if (!result.set) return;
  const int points = result.set->PointCount(0);
  doc.AppendSet(std::move(result.set));
  doc.SetModifiedFlag();
  doc.statusText = forward ? "Convolution done!" : "Deconvolution done!";
  // Values that blew up were replaced by 0: say so, the set is damaged.
  if (result.zeroedPoints > 0) {
    doc.statusText += " " + std::to_string(result.zeroedPoints) + " of " + std::to_string(points) +
                      " points set to 0 " +
                      (result.responseZero ? "(the response's transform is zero)" : "(not finite)");
  }
  ui.redraw();
}

void OnConvolution(CZentrelDoc& doc, Ui& ui) { Convolve(doc, ui, +1); }
void OnDeconvolve(CZentrelDoc& doc, Ui& ui) { Convolve(doc, ui, -1); }

void OnAutocorrelation(CZentrelDoc& doc, Ui& ui) {
  std::unique_ptr<Data_Set> result;
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to Autocorrelate", false)) result = autocorrelate(*picked.set);
  FinishAutocorrelation(doc, ui, std::move(result));
}

}  // namespace

void FinishAutocorrelation(CZentrelDoc& doc, Ui& ui, std::unique_ptr<Data_Set> result) {
  if (result) {
    doc.AppendSet(std::move(result));
    Autoscale(doc);
    doc.SetModifiedFlag();
    doc.statusText = "Autocorrelation done!";
  } else {
    doc.statusText = "Error autocorrelating set";
  }
  ui.redraw();
}

std::span<const CommandBinding> TransformCommandBindings() {
  static const CommandBinding bindings[] = {
      {32851, &OnPowerSpectrum},
      {32843, &OnFourierTransform},
      {32862, &OnConvolution},
      {32867, &OnDeconvolve},
      {32827, &OnAutocorrelation},
  };
  return bindings;
}

}  // namespace zentrel
