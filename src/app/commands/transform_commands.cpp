// Commands that derive new sets by transforms: power spectrum, Fourier
// transform, convolution, deconvolution and autocorrelation.

#include "app/commands/transform_commands.h"

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "analysis/convolution.h"
#include "analysis/input_checks.h"
#include "analysis/transforms.h"
#include "app/commands/bindings.h"
#include "app/dialogs/fft_options_dialog.h"
#include "app/dialogs/set_picker.h"
#include "app/ui.h"
#include "model/data_set.h"
#include "model/document.h"

namespace zentrel {

namespace {

CommandOutcome OnPowerSpectrum(CZentrelDoc& doc, Ui& ui) {
  PickedSet picked = PickSet(doc, ui, "Select a Set to transform", true);
  if (!picked) return {};
  PowerSpectrumResult result;
  {
    ProgressScope progress(ui, "Transforming " + picked.set->name + "...");
    result = powerSpectrum(*picked.set, progress.callback());
  }
  if (result.set) return Outcome::AddSet(std::move(result.set)).Autoscale().Status(result.message).Modified().Redraw();
  return Outcome::Status(result.message).Redraw();
}

CommandOutcome OnFourierTransform(CZentrelDoc& doc, Ui& ui) {
  if (doc.SetCount() == 0) return Outcome::Status("No Data Sets to transform!");
  std::vector<std::string> names;
  for (const auto& set : doc.sets) names.push_back(set->name);
  FftOptionsDialogModel dialog(std::move(names));
  if (!ui.runDialog(dialog)) return {};
  Data_Set* real = doc.SetAt(dialog.realSetIndex());
  Data_Set* imaginary = doc.SetAt(dialog.imaginarySetIndex());
  if (real == nullptr && imaginary == nullptr) return Outcome::Status("No Data Sets selected for transform!");
  FourierResult result;
  {
    ProgressScope progress(ui, "Transforming...");
    result = fourierTransform(real, imaginary, dialog.direction, progress.callback());
  }
  CommandOutcome outcome = Outcome::Status(result.message).Redraw();
  if (result.real && result.imaginary) {
    // Derived sets first, while both result sets are still at hand.
    std::unique_ptr<Data_Set> spectrum, amplitude, phase;
    if (dialog.powerSpectrum) spectrum = twoSidedPowerSpectrum(*result.real, *result.imaginary);
    if (dialog.amplitudeAndPhase) std::tie(amplitude, phase) = amplitudeAndPhase(*result.real, *result.imaginary);
    if (dialog.realAndImaginary) {
      outcome = std::move(outcome).AddSet(std::move(result.real)).AddSet(std::move(result.imaginary));
    }
    outcome = std::move(outcome).AddSet(std::move(spectrum)).AddSet(std::move(amplitude)).AddSet(std::move(phase));
    // New sets are unsaved work like any other command's.
    outcome.modified = !outcome.addSets.empty();
    outcome.autoscale = true;
  }
  return outcome;
}

CommandOutcome Convolve(CZentrelDoc& doc, Ui& ui, int direction) {
  const bool forward = direction == 1;
  PickedSet data = PickSet(doc, ui, forward ? "Select a set to convolve" : "Select a set to deconvolve", true);
  if (!data) return {};
  PickedSet response = PickSet(doc, ui, "Select a the instrument response set", true);
  if (!response) return {};
  // Sets too short to convolve give nothing and say nothing; the refusals
  // below are for sets that would give a meaningless result.
  if (data.set->PointCount(0) >= 3 && response.set->PointCount(0) >= 3) {
    std::optional<std::string> refusal = NonFiniteRefusal(*data.set);
    if (!refusal) refusal = NonFiniteRefusal(*response.set);
    if (!refusal) refusal = SpacingMismatchRefusal(*data.set, *response.set);
    if (refusal) return Outcome::Status(std::move(*refusal)).Redraw();
  }
  ConvolutionResult result;
  {
    ProgressScope progress(ui, std::string(forward ? "Convolving " : "Deconvolving ") + data.set->name + "...");
    result = convolveSets(*data.set, *response.set, direction, progress.callback());
  }
  if (result.cancelled) return Outcome::Status(forward ? "Convolution cancelled" : "Deconvolution cancelled").Redraw();
  if (!result.set) return {};
  const int points = result.set->PointCount(0);
  std::string status = forward ? "Convolution done!" : "Deconvolution done!";
  // Values that blew up were replaced by 0: say so, the set is damaged.
  if (result.zeroedPoints > 0) {
    status += " " + std::to_string(result.zeroedPoints) + " of " + std::to_string(points) + " points set to 0 " +
              (result.responseZero ? "(the response's transform is zero)" : "(not finite)");
  }
  return Outcome::AddSet(std::move(result.set)).Status(std::move(status)).Modified().Redraw();
}

CommandOutcome OnConvolution(CZentrelDoc& doc, Ui& ui) { return Convolve(doc, ui, +1); }
CommandOutcome OnDeconvolve(CZentrelDoc& doc, Ui& ui) { return Convolve(doc, ui, -1); }

CommandOutcome OnAutocorrelation(CZentrelDoc& doc, Ui& ui) {
  AutocorrelationResult result;
  if (PickedSet picked = PickSet(doc, ui, "Select a Set to Autocorrelate", false))
    result = AutocorrelateWithProgress(ui, *picked.set, picked.set->name);
  return FinishAutocorrelation(std::move(result));
}

}  // namespace

AutocorrelationResult AutocorrelateWithProgress(Ui& ui, Data_Set& source, const std::string& name) {
  ProgressScope progress(ui, "Autocorrelating " + name + "...");
  return autocorrelate(source, progress.callback());
}

CommandOutcome FinishAutocorrelation(AutocorrelationResult result) {
  if (result.cancelled) return Outcome::Status("Autocorrelation cancelled").Redraw();
  if (!result.set) return Outcome::Status("Error autocorrelating set").Redraw();
  return Outcome::AddSet(std::move(result.set)).Autoscale().Modified().Status("Autocorrelation done!").Redraw();
}

std::span<const CommandBinding> TransformCommandBindings() {
  static const CommandBinding bindings[] = {
      {Cmd::PowerSpectrum, &OnPowerSpectrum},
      {Cmd::FourierTransform, &OnFourierTransform},
      {Cmd::Convolution, &OnConvolution},
      {Cmd::Deconvolve, &OnDeconvolve},
      {Cmd::Autocorrelation, &OnAutocorrelation},
  };
  return bindings;
}

}  // namespace zentrel
