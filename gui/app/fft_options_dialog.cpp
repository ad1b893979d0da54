#include "fft_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/fft_options_dialog.h"
#include "qt_ui.h"

namespace zentrel {

FftOptionsDialog::FftOptionsDialog(FftOptionsDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("FftOptionsDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* layout = new QVBoxLayout(this);

  auto* direction = new QGroupBox(QStringLiteral("Transform Direciton:"), this);
  auto* radios = new QVBoxLayout(direction);
  forward_ = new QRadioButton(QStringLiteral("Forward"), direction);
  inverse_ = new QRadioButton(QStringLiteral("Inverse"), direction);
  radios->addWidget(forward_);
  radios->addWidget(inverse_);
  (model.direction < 0 ? inverse_ : forward_)->setChecked(true);
  layout->addWidget(direction);

  auto* lists = new QFormLayout;
  real_ = new QComboBox(this);
  imaginary_ = new QComboBox(this);
  for (const auto& entry : model.entries()) {
    real_->addItem(ToQString(entry));
    imaginary_->addItem(ToQString(entry));
  }
  real_->setCurrentIndex(model.realSelection);
  imaginary_->setCurrentIndex(model.imaginarySelection);
  lists->addRow(QStringLiteral("Real Dataset:"), real_);
  lists->addRow(QStringLiteral("Imaginary Dataset:"), imaginary_);
  layout->addLayout(lists);

  realAndImaginary_ = new QCheckBox(QStringLiteral("Real and  Imaginary "), this);
  powerSpectrum_ = new QCheckBox(QStringLiteral("Power Spectrum"), this);
  amplitudeAndPhase_ = new QCheckBox(QStringLiteral("Amplitude and phase"), this);
  realAndImaginary_->setChecked(model.realAndImaginary);
  powerSpectrum_->setChecked(model.powerSpectrum);
  amplitudeAndPhase_->setChecked(model.amplitudeAndPhase);
  layout->addWidget(realAndImaginary_);
  layout->addWidget(powerSpectrum_);
  layout->addWidget(amplitudeAndPhase_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &FftOptionsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void FftOptionsDialog::accept() {
  model_.direction = inverse_->isChecked() ? -1 : 1;
  model_.realSelection = real_->currentIndex();
  model_.imaginarySelection = imaginary_->currentIndex();
  model_.realAndImaginary = realAndImaginary_->isChecked();
  model_.powerSpectrum = powerSpectrum_->isChecked();
  model_.amplitudeAndPhase = amplitudeAndPhase_->isChecked();
  QDialog::accept();
}

}  // namespace zentrel
