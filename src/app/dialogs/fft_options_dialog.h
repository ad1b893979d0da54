#pragma once
// Dialog "FFT Options" of the Fourier Transform command: the direction, the
// real and imaginary input sets (each may be "All points zero") and which
// result sets to keep.

#include <string>
#include <vector>

#include "app/dialogs/dialog_model.h"

namespace zentrel {

class FftOptionsDialogModel : public DialogModel {
 public:
  static constexpr const char* kAllPointsZero = "All points zero";

  // One entry per set name, in document order, after "All points zero".
  explicit FftOptionsDialogModel(std::vector<std::string> setNames);

  std::string title() const override { return "FFT Options"; }
  // transform-direciton=forward|inverse; real-dataset= and
  // imaginary-dataset= take a set index (0-based, -1 for all points zero),
  // a set name or "All points zero"; real-and-imaginary=, power-spectrum=,
  // amplitude-and-phase= take yes|no.
  std::vector<DialogField> scriptFields() override;

  // The drop-down lists' entries: "All points zero", then the set names.
  const std::vector<std::string>& entries() const { return entries_; }

  // Radios 1032 "Forward" (+1) and 1033 "Inverse" (-1).
  int direction = 1;
  // Selection indices of lists 1034 "Real Dataset:" and 1035 "Imaginary
  // Dataset:"; the chosen set's document index is the selection minus 1.
  int realSelection = 1;
  int imaginarySelection = 0;
  bool realAndImaginary = true;    // 1036
  bool powerSpectrum = false;      // 1061
  bool amplitudeAndPhase = false;  // 1062

  int realSetIndex() const { return realSelection - 1; }
  int imaginarySetIndex() const { return imaginarySelection - 1; }

 private:
  std::vector<std::string> entries_;
};

}  // namespace zentrel
