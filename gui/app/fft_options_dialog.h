#pragma once
// "FFT Options": direction radios, the real and imaginary set lists and the
// three output check boxes.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace zentrel {

class FftOptionsDialogModel;

class FftOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  FftOptionsDialog(FftOptionsDialogModel& model, QWidget* parent);
  void accept() override;

  QComboBox* realList() const { return real_; }
  QComboBox* imaginaryList() const { return imaginary_; }
  QRadioButton* inverseButton() const { return inverse_; }
  QCheckBox* powerSpectrumBox() const { return powerSpectrum_; }

 private:
  FftOptionsDialogModel& model_;
  QRadioButton *forward_, *inverse_;
  QComboBox *real_, *imaginary_;
  QCheckBox *realAndImaginary_, *powerSpectrum_, *amplitudeAndPhase_;
};

}  // namespace zentrel
