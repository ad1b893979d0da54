#include "properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "app/dialogs/properties_dialog.h"
#include "numeric/c_format.h"
#include "qt_ui.h"

namespace zentrel {

namespace {

QLineEdit* Shown(const std::string& text, const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(ToQString(text), parent);
  edit->setReadOnly(true);
  edit->setObjectName(QString::fromUtf8(name));
  return edit;
}

QCheckBox* Flag(const char* caption, bool on, const char* name, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setChecked(on);
  box->setEnabled(false);
  box->setObjectName(QString::fromUtf8(name));
  return box;
}

}  // namespace

PropertiesDialog::PropertiesDialog(const PropertiesDialogModel& model, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PropertiesDialog"));
  setWindowTitle(ToQString(model.title()));
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("Dataset"), Shown(model.name, "dataset", this));
  form->addRow(QStringLiteral("Minimum Y"), Shown(FormatLg(model.minimumY), "minimumY", this));
  form->addRow(QStringLiteral("Maximum Y"), Shown(FormatLg(model.maximumY), "maximumY", this));
  form->addRow(QStringLiteral("Minimum X"), Shown(FormatLg(model.minimumX), "minimumX", this));
  form->addRow(QStringLiteral("Maximum X"), Shown(FormatLg(model.maximumX), "maximumX", this));
  form->addRow(QStringLiteral("Points"), Shown(std::to_string(model.points), "points", this));
  form->addRow(Flag("Sorted", model.sorted, "sorted", this));
  form->addRow(QStringLiteral("Point Spacing"), Shown(FormatLg(model.pointSpacing), "pointSpacing", this));
  form->addRow(Flag("Evenly Spaced", model.evenlySpaced, "evenlySpaced", this));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  form->addRow(buttons);
}

}  // namespace zentrel
