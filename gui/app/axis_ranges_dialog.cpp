#include "axis_ranges_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "app/dialogs/axis_ranges_dialog.h"
#include "qt_ui.h"

namespace zentrel {

AxisRangesDialog::AxisRangesDialog(AxisRangesDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("AxisRangesDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const auto edit = [this](const std::string& text, const char* name) {
    auto* line = new QLineEdit(ToQString(text), this);
    line->setObjectName(QString::fromLatin1(name));
    return line;
  };
  xMin_ = edit(model.xMinText, "xmin");
  xMax_ = edit(model.xMaxText, "xmax");
  yMin_ = edit(model.yMinText, "ymin");
  yMax_ = edit(model.yMaxText, "ymax");
  logX_ = new QCheckBox(QStringLiteral("Logarithmic"), this);
  logY_ = new QCheckBox(QStringLiteral("Logarithmic"), this);
  logX_->setChecked(model.logX);
  logY_->setChecked(model.logY);
  grid->addWidget(new QLabel(QStringLiteral("Minimum"), this), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Maximum"), this), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("X axis:"), this), 1, 0);
  grid->addWidget(xMin_, 1, 1);
  grid->addWidget(xMax_, 1, 2);
  grid->addWidget(logX_, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Y axis:"), this), 2, 0);
  grid->addWidget(yMin_, 2, 1);
  grid->addWidget(yMax_, 2, 2);
  grid->addWidget(logY_, 2, 3);
  layout->addLayout(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &AxisRangesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void AxisRangesDialog::accept() {
  model_.xMinText = ToStdString(xMin_->text());
  model_.xMaxText = ToStdString(xMax_->text());
  model_.yMinText = ToStdString(yMin_->text());
  model_.yMaxText = ToStdString(yMax_->text());
  model_.logX = logX_->isChecked();
  model_.logY = logY_->isChecked();
  const auto refusal = model_.check();
  if (!refusal) {
    QDialog::accept();
    return;
  }
  QMessageBox::warning(this, QString::fromUtf8(kProgramName), ToQString(refusal->message));
  QLineEdit* const edits[] = {xMin_, xMax_, yMin_, yMax_};
  QLineEdit* fix = edits[static_cast<int>(refusal->edit)];
  fix->setFocus();
  fix->selectAll();
}

}  // namespace zentrel
