#include "fit_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColor>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

#include "app/settling_ui.h"
#include "fit/model_table.h"
#include "fit/response_shift.h"
#include "qt_ui.h"

namespace zentrel {

namespace {

// Sets a text unless it is already there or the person is typing into it.
void Show(QLineEdit* edit, const std::string& text) {
  const QString value = ToQString(text);
  if (edit->hasFocus() && edit->isModified()) return;
  if (edit->text() != value) edit->setText(value);
  edit->setModified(false);
  edit->setCursorPosition(0);
}

QLineEdit* ReadOnly(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::ClickFocus);
  return edit;
}

}  // namespace

FitDialog::FitDialog(FitDialogModel& model, QtUi& ui, QWidget* parent) : QDialog(parent), model_(&model), ui_(ui) {
  setObjectName(QStringLiteral("FitDialog"));
  setWindowTitle(QStringLiteral("Fitting"));
  setModal(false);
  build();
  model_->changed = [this] { syncFromModel(); };
  syncFromModel();
}

FitDialog::~FitDialog() { detach(); }

void FitDialog::detach() {
  if (model_ != nullptr) model_->changed = nullptr;
  model_ = nullptr;
}

void FitDialog::build() {
  auto* outer = new QVBoxLayout(this);
  buildSettings(outer);
  buildLimitsAndWeighting(outer);
  buildEquationAndConvolution(outer);
  buildParameterRows(outer);
  buildChiSquare(outer);
  buildStatistics(outer);
  buildButtons(outer);
  // Return finishes an edit; it never presses a button.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
}

// Each part below makes its controls and passes what the person does with
// them to the model as the dialog's events.

// The model and its settings.
void FitDialog::buildSettings(QVBoxLayout* outer) {
  auto* settings = new QGridLayout;
  outer->addLayout(settings);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("fitName"));
  fitFunction_ = new QComboBox(this);
  fitFunction_->setObjectName(QStringLiteral("fittingFn"));
  for (auto name : ModelNames()) fitFunction_->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  order_ = new QLineEdit(this);
  order_->setObjectName(QStringLiteral("order"));
  order_->setMaximumWidth(60);
  iterations_ = ReadOnly(this);
  iterations_->setObjectName(QStringLiteral("iterations"));
  method_ = new QComboBox(this);
  method_->setObjectName(QStringLiteral("fitMethod"));
  method_->addItems({QStringLiteral("Gridless"), QStringLiteral("Levenberg-Marquardt")});
  fitStart_ = new QLineEdit(this);
  fitStart_->setObjectName(QStringLiteral("fitStart"));
  fitEnd_ = new QLineEdit(this);
  fitEnd_->setObjectName(QStringLiteral("fitEnd"));
  settings->addWidget(new QLabel(QStringLiteral("Fit Name:"), this), 0, 0);
  settings->addWidget(name_, 0, 1, 1, 3);
  settings->addWidget(new QLabel(QStringLiteral("Fitting Fn:"), this), 1, 0);
  settings->addWidget(fitFunction_, 1, 1);
  settings->addWidget(new QLabel(QStringLiteral("Order:"), this), 1, 2);
  settings->addWidget(order_, 1, 3);
  settings->addWidget(new QLabel(QStringLiteral("Fit Method:"), this), 2, 0);
  settings->addWidget(method_, 2, 1);
  settings->addWidget(new QLabel(QStringLiteral("Iterations:"), this), 2, 2);
  settings->addWidget(iterations_, 2, 3);
  settings->addWidget(new QLabel(QStringLiteral("Fit Start:"), this), 3, 0);
  settings->addWidget(fitStart_, 3, 1);
  settings->addWidget(new QLabel(QStringLiteral("Fit End:"), this), 3, 2);
  settings->addWidget(fitEnd_, 3, 3);

  connect(name_, &QLineEdit::editingFinished, this, [this] {
    if (model_ == nullptr) return;
    model_->nameText = ToStdString(name_->text());
    name_->setModified(false);
    model_->nameLostFocus();
  });
  connect(fitFunction_, &QComboBox::activated, this, [this] { applyModelChoice(); });
  fitFunction_->installEventFilter(this);
  connect(order_, &QLineEdit::editingFinished, this, [this] { applyModelChoice(); });
  connect(fitStart_, &QLineEdit::editingFinished, this, [this] {
    if (model_ == nullptr) return;
    model_->fitStartText = ToStdString(fitStart_->text());
    fitStart_->setModified(false);
    model_->fitStartLostFocus();
  });
  connect(fitEnd_, &QLineEdit::editingFinished, this, [this] {
    if (model_ == nullptr) return;
    model_->fitStartText = ToStdString(fitStart_->text());
    model_->fitEndText = ToStdString(fitEnd_->text());
    fitStart_->setModified(false);
    fitEnd_->setModified(false);
    model_->fitEndLostFocus();
  });
  connect(method_, &QComboBox::activated, this, [this](int k) {
    if (model_ != nullptr) model_->methodChanged(k);
  });
}

void FitDialog::buildLimitsAndWeighting(QVBoxLayout* outer) {
  auto* limits = new QHBoxLayout;
  limits->addWidget(new QLabel(QStringLiteral("Limit Set:"), this));
  limitSets_ = new QButtonGroup(this);
  for (int k = 0; k < 3; ++k) {
    auto* radio = new QRadioButton(QString::number(k + 1), this);
    radio->setObjectName(QStringLiteral("limitSet%1").arg(k + 1));
    limitSets_->addButton(radio, k);
    limits->addWidget(radio);
  }
  limits->addSpacing(20);
  limits->addWidget(new QLabel(QStringLiteral("Chi Weighting:"), this));
  weightings_ = new QButtonGroup(this);
  // In FitWeighting order: a button's id is the weighting it sets.
  const char* const weightingNames[] = {"Equal", "1/Y", "1/Sigma^2", "1/Sqrt(Y)", "Poisson likelihood"};
  for (int k = 0; k < 5; ++k) {
    auto* radio = new QRadioButton(QString::fromUtf8(weightingNames[k]), this);
    weightings_->addButton(radio, k);
    limits->addWidget(radio);
  }
  limits->addStretch();
  outer->addLayout(limits);

  connect(limitSets_, &QButtonGroup::idClicked, this, [this](int k) {
    if (model_ == nullptr) return;
    model_->fitStartText = ToStdString(fitStart_->text());
    model_->fitEndText = ToStdString(fitEnd_->text());
    model_->switchLimitSet(k);
  });
  connect(weightings_, &QButtonGroup::idClicked, this, [this](int k) {
    if (model_ != nullptr) model_->weightingClicked(k);
  });
}

void FitDialog::buildEquationAndConvolution(QVBoxLayout* outer) {
  auto* custom = new QHBoxLayout;
  equationLabel_ = new QLabel(QStringLiteral("Custom Equation:"), this);
  equation_ = new QLineEdit(this);
  equation_->setObjectName(QStringLiteral("customEquation"));
  list_ = new QPushButton(QStringLiteral("List"), this);
  custom->addWidget(equationLabel_);
  custom->addWidget(equation_, 1);
  custom->addWidget(list_);
  outer->addLayout(custom);

  auto* convolve = new QHBoxLayout;
  auto* convolveButton = new QPushButton(QStringLiteral("Convolve with:"), this);
  convolveName_ = ReadOnly(this);
  convolve->addWidget(convolveButton);
  convolve->addWidget(convolveName_, 1);
  outer->addLayout(convolve);

  connect(equation_, &QLineEdit::editingFinished, this, [this] {
    if (model_ == nullptr || syncing_) return;
    const std::string text = ToStdString(equation_->text());
    if (!equation_->isModified() && text == model_->customEquationText) return;
    model_->customEquationText = text;
    equation_->setModified(false);
    model_->customEquationLostFocus(ui_);
  });
  connect(list_, &QPushButton::clicked, this, [this] {
    if (model_ != nullptr) model_->list(ui_);
  });
  connect(convolveButton, &QPushButton::clicked, this, [this] {
    if (model_ != nullptr) model_->convolveWith(ui_);
  });
}

// The parameters: free check box captioned with the name, value, error.
void FitDialog::buildParameterRows(QVBoxLayout* outer) {
  auto* box = new QGroupBox(QStringLiteral("Parameters"), this);
  auto* grid = new QGridLayout(box);
  grid->addWidget(new QLabel(QStringLiteral("Free"), box), 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Value"), box), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Std. error"), box), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Interval"), box), 0, 3);
  for (int i = 0; i < kFitDialogRows; ++i) {
    checks_[static_cast<size_t>(i)] = new QCheckBox(QStringLiteral("a%1").arg(i), box);
    values_[static_cast<size_t>(i)] = new QLineEdit(box);
    values_[static_cast<size_t>(i)]->setObjectName(QStringLiteral("param%1").arg(i));
    errors_[static_cast<size_t>(i)] = new QLabel(box);
    errors_[static_cast<size_t>(i)]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(checks_[static_cast<size_t>(i)], i + 1, 0);
    grid->addWidget(values_[static_cast<size_t>(i)], i + 1, 1);
    grid->addWidget(errors_[static_cast<size_t>(i)], i + 1, 2);
    intervals_[static_cast<size_t>(i)] = new QLabel(box);
    intervals_[static_cast<size_t>(i)]->setObjectName(QStringLiteral("interval%1").arg(i));
    intervals_[static_cast<size_t>(i)]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(intervals_[static_cast<size_t>(i)], i + 1, 3);
    intervals_[static_cast<size_t>(i)]->hide();
    checks_[static_cast<size_t>(i)]->hide();
    values_[static_cast<size_t>(i)]->hide();
    errors_[static_cast<size_t>(i)]->hide();
  }
  buildBoundEdits(grid, box);
  buildShiftRow(grid, box);
  grid->setColumnStretch(1, 1);
  outer->addWidget(box);

  for (int i = 0; i < kFitDialogRows; ++i) {
    const auto row = static_cast<size_t>(i);
    connect(values_[row], &QLineEdit::editingFinished, this, [this, i, row] {
      if (model_ == nullptr) return;
      model_->paramTexts[row] = ToStdString(values_[row]->text());
      values_[row]->setModified(false);
      model_->applyParameterRow(i);
    });
    connect(checks_[row], &QCheckBox::clicked, this, [this, i, row](bool checked) {
      if (model_ == nullptr) return;
      model_->paramTexts[row] = ToStdString(values_[row]->text());
      model_->paramChecks[row] = checked;
      model_->applyParameterRow(i);
    });
  }
}

// Two more columns per row, after the others: the bounds the engine keeps
// the parameter between.
void FitDialog::buildBoundEdits(QGridLayout* grid, QWidget* box) {
  const int first = grid->columnCount();
  grid->addWidget(new QLabel(QStringLiteral("Lower"), box), 0, first);
  grid->addWidget(new QLabel(QStringLiteral("Upper"), box), 0, first + 1);
  for (int i = 0; i < kFitDialogRows; ++i) {
    const auto row = static_cast<size_t>(i);
    lowers_[row] = new QLineEdit(box);
    lowers_[row]->setObjectName(QStringLiteral("lower%1").arg(i));
    lowers_[row]->setPlaceholderText(QStringLiteral("none"));
    uppers_[row] = new QLineEdit(box);
    uppers_[row]->setObjectName(QStringLiteral("upper%1").arg(i));
    uppers_[row]->setPlaceholderText(QStringLiteral("none"));
    for (QLineEdit* edit : {lowers_[row], uppers_[row]}) {
      edit->setMaximumWidth(90);
      edit->hide();
      connect(edit, &QLineEdit::editingFinished, this, [this, i] { applyBoundEdit(i); });
    }
    grid->addWidget(lowers_[row], i + 1, first);
    grid->addWidget(uppers_[row], i + 1, first + 1);
  }
}

void FitDialog::buildShiftRow(QGridLayout* grid, QWidget* box) {
  const int line = kFitDialogRows + 1;
  shiftCheck_ = new QCheckBox(QString::fromLatin1(kShiftName), box);
  shiftCheck_->setObjectName(QStringLiteral("shiftFree"));
  shiftCheck_->setToolTip(QStringLiteral("The response's displacement along x; checked: fitted"));
  shiftValue_ = new QLineEdit(box);
  shiftValue_->setObjectName(QStringLiteral("shift"));
  shiftError_ = new QLabel(box);
  shiftError_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  shiftInterval_ = new QLabel(box);
  shiftInterval_->setObjectName(QStringLiteral("shiftInterval"));
  shiftInterval_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(shiftCheck_, line, 0);
  grid->addWidget(shiftValue_, line, 1);
  grid->addWidget(shiftError_, line, 2);
  grid->addWidget(shiftInterval_, line, 3);
  for (QWidget* widget : {static_cast<QWidget*>(shiftCheck_), static_cast<QWidget*>(shiftValue_),
                          static_cast<QWidget*>(shiftError_), static_cast<QWidget*>(shiftInterval_)})
    widget->hide();
  auto apply = [this] {
    if (model_ == nullptr || syncing_) return;
    model_->shiftText = ToStdString(shiftValue_->text());
    model_->shiftCheck = shiftCheck_->isChecked();
    shiftValue_->setModified(false);
    model_->applyShiftRow();
  };
  connect(shiftValue_, &QLineEdit::editingFinished, this, apply);
  connect(shiftCheck_, &QCheckBox::clicked, this, apply);
}

void FitDialog::syncShiftRow(const FitDialogModel& m) {
  for (QWidget* widget : {static_cast<QWidget*>(shiftCheck_), static_cast<QWidget*>(shiftValue_),
                          static_cast<QWidget*>(shiftError_), static_cast<QWidget*>(shiftInterval_)})
    widget->setVisible(m.shiftVisible);
  if (!m.shiftVisible) return;
  shiftCheck_->setChecked(m.shiftCheck);
  Show(shiftValue_, m.shiftText);
  shiftError_->setText(m.shiftErrorText.empty() ? QString() : QStringLiteral("± %1").arg(ToQString(m.shiftErrorText)));
  shiftInterval_->setText(ToQString(m.shiftIntervalText));
}

void FitDialog::applyBoundEdit(int row) {
  if (model_ == nullptr || syncing_) return;
  const auto i = static_cast<size_t>(row);
  model_->lowerTexts[i] = ToStdString(lowers_[i]->text());
  model_->upperTexts[i] = ToStdString(uppers_[i]->text());
  lowers_[i]->setModified(false);
  uppers_[i]->setModified(false);
  if (const std::string problem = model_->applyBoundsRow(row); !problem.empty()) ui_.messageBox(problem);
}

void FitDialog::buildChiSquare(QVBoxLayout* outer) {
  auto* chi = new QHBoxLayout;
  chiSquare_ = ReadOnly(this);
  chiSquare_->setObjectName(QStringLiteral("chiSquared"));
  reducedChiSquare_ = new QLabel(this);
  chi->addWidget(new QLabel(QStringLiteral("Chi Squared:"), this));
  chi->addWidget(chiSquare_, 1);
  chi->addWidget(reducedChiSquare_);
  outer->addLayout(chi);
}

// Goodness of fit and the runs test as text, the correlations as a table
// whose strong entries (|r| > 0.95) are coloured.
void FitDialog::buildStatistics(QVBoxLayout* outer) {
  auto* box = new QGroupBox(QStringLiteral("Statistics"), this);
  auto* layout = new QVBoxLayout(box);
  statistics_ = new QPlainTextEdit(box);
  statistics_->setObjectName(QStringLiteral("statistics"));
  statistics_->setReadOnly(true);
  statistics_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  statistics_->setMaximumHeight(110);
  statistics_->setLineWrapMode(QPlainTextEdit::NoWrap);
  correlation_ = new QTableWidget(box);
  correlation_->setObjectName(QStringLiteral("correlation"));
  correlation_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  correlation_->setMaximumHeight(160);
  correlation_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(statistics_);
  layout->addWidget(correlation_);
  outer->addWidget(box);
}

void FitDialog::showStatistics() {
  const FitDialogModel& m = *model_;
  QStringList lines;
  // The matrix has a table of its own; the text keeps the other lines.
  for (const std::string& line : m.statisticsLines) {
    if (line.rfind("correlation matrix", 0) == 0) break;
    lines << ToQString(line);
  }
  for (const std::string& line : m.confidenceLines) lines << ToQString(line);
  const QString text = lines.join(QLatin1Char('\n'));
  if (statistics_->toPlainText() != text) statistics_->setPlainText(text);
  if (!m.statistics || m.statistics->correlation.empty()) {
    correlation_->clear();
    correlation_->setRowCount(0);
    correlation_->setColumnCount(0);
    return;
  }
  const FitSummary& summary = *m.statistics;
  const int n = static_cast<int>(summary.freeIndex.size());
  correlation_->setRowCount(n);
  correlation_->setColumnCount(n);
  QStringList names;
  for (int index : summary.freeIndex)
    names << (index == kShiftIndex  ? QString::fromLatin1(kShiftName)
              : index < m.rowsShown ? ToQString(m.paramCaptions[static_cast<size_t>(index)])
                                    : QStringLiteral("a%1").arg(index));
  correlation_->setHorizontalHeaderLabels(names);
  correlation_->setVerticalHeaderLabels(names);
  for (int row = 0; row < n; ++row)
    for (int column = 0; column < n; ++column) {
      const double r = summary.correlationAt(static_cast<size_t>(row), static_cast<size_t>(column));
      auto* item = new QTableWidgetItem(std::isfinite(r) ? QString::number(r, 'f', 4) : QStringLiteral("n/a"));
      if (row != column && std::fabs(r) > kStrongCorrelation) {
        item->setBackground(QColor(255, 190, 160));
        item->setToolTip(QStringLiteral("|r| > 0.95: the data hardly tell these two apart"));
      }
      correlation_->setItem(row, column, item);
    }
}

void FitDialog::askConfidence() {
  if (model_ == nullptr) return;
  bool ok = false;
  const QString level = QInputDialog::getItem(this, QStringLiteral("Confidence Intervals"), QStringLiteral("Level:"),
                                              {QStringLiteral("0.683"), QStringLiteral("0.95")}, 1, false, &ok);
  if (!ok || model_ == nullptr) return;
  model_->computeConfidence(ui_, level.toDouble());
}

void FitDialog::buildButtons(QVBoxLayout* outer) {
  auto* buttons = new QHBoxLayout;
  auto* copy = new QPushButton(QStringLiteral("Copy Params"), this);
  auto* paste = new QPushButton(QStringLiteral("Paste Params"), this);
  auto* colour = new QPushButton(QStringLiteral("Change Color"), this);
  auto* guess = new QPushButton(QStringLiteral("Guess"), this);
  guess->setObjectName(QStringLiteral("guess"));
  guess->setToolTip(QStringLiteral("Start values from the data in the fit range; held parameters keep theirs"));
  iterate_ = new QPushButton(QStringLiteral("Iterate"), this);
  iterate_->setObjectName(QStringLiteral("iterate"));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("ok"));
  ok->setAutoDefault(false);
  iterate_->setAutoDefault(false);
  auto* confidence = new QPushButton(QStringLiteral("Confidence..."), this);
  confidence->setObjectName(QStringLiteral("confidence"));
  for (QPushButton* button : {copy, paste, colour, guess, confidence, iterate_, ok}) buttons->addWidget(button);
  outer->addLayout(buttons);

  connect(copy, &QPushButton::clicked, this, [this] {
    if (model_ != nullptr) model_->copyParams(ui_);
  });
  connect(paste, &QPushButton::clicked, this, [this] {
    if (model_ != nullptr) model_->pasteParams(ui_);
  });
  connect(colour, &QPushButton::clicked, this, [this] {
    if (model_ != nullptr) model_->changeColor(ui_);
  });
  connect(guess, &QPushButton::clicked, this, [this] {
    if (model_ != nullptr && model_->guessStartValues(ui_)) RedrawAndSettle(model_->document(), ui_);
  });
  connect(iterate_, &QPushButton::clicked, this, [this] {
    if (model_ == nullptr) return;
    model_->toggleIterate();
    iterationToggled();
  });
  connect(confidence, &QPushButton::clicked, this, &FitDialog::askConfidence);
  connect(ok, &QPushButton::clicked, this, &FitDialog::accept);
}

void FitDialog::applyModelChoice() {
  if (model_ == nullptr || syncing_) return;
  model_->modelName = ToStdString(fitFunction_->currentText());
  model_->orderText = ToStdString(order_->text());
  order_->setModified(false);
  model_->modelLostFocus();
}

void FitDialog::iterationToggled() { ui_.fitIterationChanged(); }

bool FitDialog::eventFilter(QObject* watched, QEvent* event) {
  // "Fitting Fn:" applies its choice when it loses focus, like "Order:".
  if (watched == fitFunction_ && event->type() == QEvent::FocusOut) applyModelChoice();
  return QDialog::eventFilter(watched, event);
}

void FitDialog::syncFromModel() {
  if (model_ == nullptr || syncing_) return;
  syncing_ = true;
  const FitDialogModel& m = *model_;
  Show(name_, m.nameText);
  Show(iterations_, m.iterationsText);
  Show(order_, m.orderText);
  Show(fitStart_, m.fitStartText);
  Show(fitEnd_, m.fitEndText);
  Show(equation_, m.customEquationText);
  Show(convolveName_, m.convolveText);
  Show(chiSquare_, m.chiSquareText);
  reducedChiSquare_->setText(m.reducedChiSquareText.empty()
                                 ? QString()
                                 : QStringLiteral("χ²/ν: %1").arg(ToQString(m.reducedChiSquareText)));
  const int modelIndex = fitFunction_->findText(ToQString(m.modelName));
  if (modelIndex >= 0 && fitFunction_->currentIndex() != modelIndex) fitFunction_->setCurrentIndex(modelIndex);
  if (method_->currentIndex() != m.methodIndex) method_->setCurrentIndex(m.methodIndex);
  if (auto* button = limitSets_->button(m.limitSetIndex)) button->setChecked(true);
  if (auto* button = weightings_->button(m.weightingIndex)) button->setChecked(true);
  equationLabel_->setVisible(m.customEquationVisible);
  equation_->setVisible(m.customEquationVisible);
  list_->setVisible(m.customEquationVisible);
  for (int i = 0; i < kFitDialogRows; ++i) {
    const auto row = static_cast<size_t>(i);
    const bool visible = i < m.rowsShown;
    checks_[row]->setVisible(visible);
    values_[row]->setVisible(visible);
    errors_[row]->setVisible(visible);
    lowers_[row]->setVisible(visible);
    uppers_[row]->setVisible(visible);
    intervals_[row]->setVisible(visible);
    if (!visible) continue;
    Show(lowers_[row], m.lowerTexts[row]);
    Show(uppers_[row], m.upperTexts[row]);
    intervals_[row]->setText(ToQString(m.intervalTexts[row]));
    checks_[row]->setText(ToQString(m.paramCaptions[row]));
    checks_[row]->setChecked(m.paramChecks[row]);
    Show(values_[row], m.paramTexts[row]);
    QString error = m.errorTexts[row].empty() ? QString() : QStringLiteral("± %1").arg(ToQString(m.errorTexts[row]));
    // A value on its bound is marked: its symmetric error is no interval there.
    if (!m.boundMarks[row].empty()) error += QStringLiteral(" ⟂ %1").arg(ToQString(m.boundMarks[row]));
    errors_[row]->setText(error.trimmed());
  }
  syncShiftRow(m);
  iterate_->setText(ToQString(m.iterateCaption));
  showStatistics();
  // A dialog whose fit went away hides; so does one the model hid.
  if (!m.isVisible() && isVisible()) hide();
  syncing_ = false;
}

void FitDialog::accept() {
  if (model_ == nullptr) {
    hide();
    return;
  }
  // Texts typed but not yet left count, as they do when OK takes the focus.
  model_->nameText = ToStdString(name_->text());
  model_->modelName = ToStdString(fitFunction_->currentText());
  model_->orderText = ToStdString(order_->text());
  model_->pressOk();
  hide();
}

void FitDialog::reject() {
  if (model_ != nullptr) model_->hide();
  hide();
}

void FitDialog::closeEvent(QCloseEvent* event) {
  if (model_ != nullptr) model_->hide();
  event->accept();
}

}  // namespace zentrel
