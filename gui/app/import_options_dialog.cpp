#include "import_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dialogs/import_options_dialog.h"
#include "qt_ui.h"

namespace zentrel {

namespace {

// A column number, with 0 shown as the word that stands for no column.
QSpinBox* ColumnBox(QWidget* parent, const char* name, const QString& noColumn, int column) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setRange(0, kMaxImportColumn);
  box->setSpecialValueText(noColumn);
  box->setValue(column);
  return box;
}

// What the chosen columns are, for the preview's column titles.
QString RoleOf(const ImportOptions& options, int column) {
  QStringList roles;
  if (options.xColumn == column) roles << QStringLiteral("x");
  for (int y : options.yColumns)
    if (y == column) roles << QStringLiteral("y");
  if (options.yErrorColumn == column) roles << QStringLiteral("y error");
  if (options.xErrorColumn == column) roles << QStringLiteral("x error");
  return roles.join(QStringLiteral(", "));
}

}  // namespace

ImportOptionsDialog::ImportOptionsDialog(ImportOptionsDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName(QStringLiteral("ImportOptionsDialog"));
  setWindowTitle(ToQString(model.title()));
  const ImportOptions& options = model.options;
  auto* layout = new QVBoxLayout(this);
  if (!model.fileName().empty()) layout->addWidget(new QLabel(ToQString(model.fileName()), this));

  auto* form = new QFormLayout;
  delimiter_ = new QComboBox(this);
  delimiter_->setObjectName(QStringLiteral("delimiter"));
  delimiter_->addItems({QStringLiteral("Auto"), QStringLiteral("Whitespace"), QStringLiteral("Comma"),
                        QStringLiteral("Semicolon"), QStringLiteral("Tab")});
  delimiter_->setCurrentIndex(static_cast<int>(options.delimiter));
  form->addRow(QStringLiteral("Delimiter:"), delimiter_);
  decimal_ = new QComboBox(this);
  decimal_->setObjectName(QStringLiteral("decimal"));
  decimal_->addItems({QStringLiteral("Point (1.5)"), QStringLiteral("Comma (1,5)")});
  decimal_->setCurrentIndex(static_cast<int>(options.decimal));
  form->addRow(QStringLiteral("Decimal separator:"), decimal_);
  skip_ = new QSpinBox(this);
  skip_->setObjectName(QStringLiteral("skip"));
  skip_->setRange(0, 1'000'000'000);
  skip_->setValue(options.skipLines);
  form->addRow(QStringLiteral("Lines to skip:"), skip_);
  comment_ = new QLineEdit(options.comment == 0 ? QString() : QString(QLatin1Char(options.comment)), this);
  comment_->setObjectName(QStringLiteral("comment"));
  comment_->setMaxLength(1);
  comment_->setPlaceholderText(QStringLiteral("none"));
  form->addRow(QStringLiteral("Comment character:"), comment_);
  xColumn_ = ColumnBox(this, "xColumn", QStringLiteral("row number"), options.xColumn);
  form->addRow(QStringLiteral("X column:"), xColumn_);
  yColumns_ = new QLineEdit(ToQString(ColumnListText(options.yColumns)), this);
  yColumns_->setObjectName(QStringLiteral("yColumns"));
  yColumns_->setToolTip(QStringLiteral("Several columns, separated by commas, make one set each"));
  form->addRow(QStringLiteral("Y column(s):"), yColumns_);
  yErrorColumn_ = ColumnBox(this, "yErrorColumn", QStringLiteral("none"), options.yErrorColumn);
  form->addRow(QStringLiteral("Y error column:"), yErrorColumn_);
  xErrorColumn_ = ColumnBox(this, "xErrorColumn", QStringLiteral("none"), options.xErrorColumn);
  form->addRow(QStringLiteral("X error column:"), xErrorColumn_);
  layout->addLayout(form);
  header_ = new QCheckBox(QStringLiteral("First non-comment line holds column names"), this);
  header_->setObjectName(QStringLiteral("header"));
  header_->setChecked(options.header);
  layout->addWidget(header_);

  preview_ = new QTableWidget(this);
  preview_->setObjectName(QStringLiteral("preview"));
  preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  preview_->setMinimumSize(480, 240);
  layout->addWidget(preview_, 1);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("message"));
  message_->setWordWrap(true);
  layout->addWidget(message_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &ImportOptionsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  const auto changed = [this] { update(); };
  connect(delimiter_, &QComboBox::currentIndexChanged, this, changed);
  connect(decimal_, &QComboBox::currentIndexChanged, this, changed);
  for (QSpinBox* box : {skip_, xColumn_, yErrorColumn_, xErrorColumn_})
    connect(box, &QSpinBox::valueChanged, this, changed);
  connect(comment_, &QLineEdit::textChanged, this, changed);
  connect(yColumns_, &QLineEdit::textChanged, this, changed);
  connect(header_, &QCheckBox::toggled, this, changed);
  update();
}

void ImportOptionsDialog::update() {
  ImportOptions& options = model_.options;
  options.delimiter = static_cast<FieldDelimiter>(delimiter_->currentIndex());
  options.decimal = static_cast<DecimalMark>(decimal_->currentIndex());
  options.skipLines = skip_->value();
  const QString comment = comment_->text();
  const char16_t commentCode = comment.isEmpty() ? 0 : comment.at(0).unicode();
  const bool commentUsable = commentCode == 0 || (commentCode > ' ' && commentCode < 0x7f);
  if (commentUsable) options.comment = static_cast<char>(commentCode);
  options.xColumn = xColumn_->value();
  options.yErrorColumn = yErrorColumn_->value();
  options.xErrorColumn = xErrorColumn_->value();
  options.header = header_->isChecked();
  // A y list being typed keeps the last one that made sense for the preview.
  const auto yColumns = ParseColumnList(ToStdString(yColumns_->text().remove(QLatin1Char(' '))));
  if (yColumns) options.yColumns = *yColumns;
  showPreview();
  std::optional<std::string> problem;
  if (!yColumns)
    problem = "Y column(s): column numbers (from 1), separated by commas";
  else if (!commentUsable)
    problem = "Comment character: one printable ASCII character, or none";
  else
    problem = model_.validate();
  message_->setText(problem ? ToQString(*problem) : QString());
  ok_->setEnabled(!problem);
}

void ImportOptionsDialog::showPreview() {
  const ImportPreview& preview = model_.preview();
  const int columns = std::max(preview.columns, static_cast<int>(preview.columnNames.size()));
  preview_->clear();
  preview_->setColumnCount(columns);
  preview_->setRowCount(static_cast<int>(preview.fields.size()));
  QStringList titles;
  for (int c = 0; c < columns; ++c) {
    QString title = QString::number(c + 1);
    if (c < static_cast<int>(preview.columnNames.size()) && !preview.columnNames[static_cast<size_t>(c)].empty())
      title += QStringLiteral(": ") + ToQString(preview.columnNames[static_cast<size_t>(c)]);
    const QString role = RoleOf(model_.options, c + 1);
    if (!role.isEmpty()) title += QStringLiteral("\n(") + role + QLatin1Char(')');
    titles << title;
  }
  preview_->setHorizontalHeaderLabels(titles);
  for (int r = 0; r < static_cast<int>(preview.fields.size()); ++r) {
    const auto& fields = preview.fields[static_cast<size_t>(r)];
    const auto* values = r < static_cast<int>(preview.values.size()) ? &preview.values[static_cast<size_t>(r)] : nullptr;
    for (int c = 0; c < static_cast<int>(fields.size()) && c < columns; ++c) {
      const auto at = static_cast<size_t>(c);
      auto* item = new QTableWidgetItem;
      if (values != nullptr && at < values->size() && (*values)[at]) {
        // The number as it will be read, so a wrong decimal mark shows.
        item->setText(QString::number(*(*values)[at], 'g', 15));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      } else {
        item->setText(ToQString(fields[at]));
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
      }
      preview_->setItem(r, c, item);
    }
  }
  preview_->resizeColumnsToContents();
}

void ImportOptionsDialog::accept() {
  update();
  if (!ok_->isEnabled()) return;
  QDialog::accept();
}

}  // namespace zentrel
