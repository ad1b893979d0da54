#include "global_fit_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dialogs/global_fit_dialog.h"
#include "app/settling_ui.h"
#include "fit/model_kind.h"
#include "fit/model_table.h"
#include "qt_ui.h"

namespace zentrel {

namespace {

// The table's fixed columns; then a value and an error column per set.
constexpr int kNameColumn = 0;
constexpr int kSharedColumn = 1;
constexpr int kFreeColumn = 2;
constexpr int kFirstSetColumn = 3;

QTableWidgetItem* CheckItem(bool checked) {
  auto* item = new QTableWidgetItem();
  item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
  item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  return item;
}

QTableWidgetItem* TextItem(const std::string& text, bool editable) {
  auto* item = new QTableWidgetItem(ToQString(text));
  item->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::ItemIsEnabled);
  return item;
}

}  // namespace

GlobalFitDialog::GlobalFitDialog(GlobalFitDialogModel& model, QtUi& ui, QWidget* parent)
    : QDialog(parent), model_(&model), ui_(ui) {
  setObjectName(QStringLiteral("GlobalFitDialog"));
  setWindowTitle(QStringLiteral("Global Fit"));
  setModal(false);
  build();
  idle_.setInterval(0);
  connect(&idle_, &QTimer::timeout, this, &GlobalFitDialog::stepWhenIdle);
  model_->changed = [this] { syncFromModel(); };
  syncFromModel();
}

GlobalFitDialog::~GlobalFitDialog() { detach(); }

void GlobalFitDialog::detach() {
  idle_.stop();
  if (model_ != nullptr) model_->changed = nullptr;
  model_ = nullptr;
}

void GlobalFitDialog::build() {
  auto* outer = new QVBoxLayout(this);
  auto* top = new QHBoxLayout();
  sets_ = new QListWidget(this);
  sets_->setObjectName(QStringLiteral("globalSets"));
  sets_->setMaximumHeight(120);
  top->addWidget(sets_, 1);
  auto* form = new QFormLayout();
  family_ = new QComboBox(this);
  family_->setObjectName(QStringLiteral("globalModel"));
  for (std::string_view name : ModelNames())
    if (name != ModelName(kCustomFunction)) family_->addItem(ToQString(std::string(name)));
  order_ = new QLineEdit(this);
  order_->setObjectName(QStringLiteral("globalOrder"));
  form->addRow(QStringLiteral("Fitting Fn:"), family_);
  form->addRow(QStringLiteral("Order:"), order_);
  top->addLayout(form);
  outer->addLayout(top);

  table_ = new QTableWidget(this);
  table_->setObjectName(QStringLiteral("globalTable"));
  table_->verticalHeader()->hide();
  outer->addWidget(table_, 1);

  auto* results = new QHBoxLayout();
  iterations_ = new QLabel(this);
  iterations_->setObjectName(QStringLiteral("globalIterations"));
  chiSquare_ = new QLabel(this);
  chiSquare_->setObjectName(QStringLiteral("globalChiSquare"));
  state_ = new QLabel(this);
  state_->setObjectName(QStringLiteral("globalState"));
  results->addWidget(iterations_);
  results->addWidget(chiSquare_);
  results->addWidget(state_, 1);
  outer->addLayout(results);

  auto* buttons = new QHBoxLayout();
  guess_ = new QPushButton(QStringLiteral("Guess"), this);
  guess_->setObjectName(QStringLiteral("globalGuess"));
  iterate_ = new QPushButton(QStringLiteral("Iterate"), this);
  iterate_->setObjectName(QStringLiteral("globalIterate"));
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  buttons->addWidget(guess_);
  buttons->addWidget(iterate_);
  buttons->addStretch(1);
  buttons->addWidget(close);
  outer->addLayout(buttons);
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);

  connect(sets_, &QListWidget::itemChanged, this, [this] { setsEdited(); });
  connect(family_, &QComboBox::currentTextChanged, this, [this] { modelEdited(); });
  connect(order_, &QLineEdit::editingFinished, this, [this] { modelEdited(); });
  connect(table_, &QTableWidget::cellChanged, this, &GlobalFitDialog::cellEdited);
  connect(guess_, &QPushButton::clicked, this, [this] {
    if (model_ != nullptr) model_->guess(ui_);
  });
  connect(iterate_, &QPushButton::clicked, this, &GlobalFitDialog::iterateClicked);
  connect(close, &QPushButton::clicked, this, &GlobalFitDialog::close);
  resize(640, 420);
}

void GlobalFitDialog::setsEdited() {
  if (model_ == nullptr || syncing_) return;
  std::vector<int> chosen;
  for (int i = 0; i < sets_->count(); ++i)
    if (sets_->item(i)->checkState() == Qt::Checked) chosen.push_back(i);
  model_->chooseSets(chosen);
  resyncLater();
}

void GlobalFitDialog::modelEdited() {
  if (model_ == nullptr || syncing_) return;
  model_->modelName = ToStdString(family_->currentText());
  model_->orderText = ToStdString(order_->text());
  model_->applyModel();
  syncFromModel();
}

void GlobalFitDialog::cellEdited(int row, int column) {
  if (model_ == nullptr || syncing_ || row < 0 || row >= static_cast<int>(model_->rows.size())) return;
  GlobalFitDialogModel::Row& r = model_->rows[static_cast<size_t>(row)];
  QTableWidgetItem* item = table_->item(row, column);
  if (item == nullptr) return;
  if (column == kSharedColumn) {
    r.shared = item->checkState() == Qt::Checked;
    // A shared row holds one value: the first set's.
    if (r.shared && !r.values.empty()) r.values.assign(r.values.size(), r.values.front());
    resyncLater();
  } else if (column == kFreeColumn) {
    r.free = item->checkState() == Qt::Checked;
  } else if (column >= kFirstSetColumn && (column - kFirstSetColumn) % 2 == 0) {
    const auto set = static_cast<size_t>((column - kFirstSetColumn) / 2);
    if (set >= r.values.size()) return;
    const std::string text = ToStdString(item->text());
    if (r.shared) r.values.assign(r.values.size(), text);
    else r.values[set] = text;
    if (r.shared) resyncLater();
  }
}

void GlobalFitDialog::resyncLater() {
  // The list and the table are rebuilt from the model; not inside their own
  // change signal, whose item would go with them.
  QMetaObject::invokeMethod(this, [this] { syncFromModel(); }, Qt::QueuedConnection);
}

void GlobalFitDialog::iterateClicked() {
  if (model_ == nullptr) return;
  model_->toggleIterate(ui_);
  if (model_ != nullptr && model_->iterating()) idle_.start();
  else idle_.stop();
  RedrawAndSettle(model_->document(), ui_);
}

void GlobalFitDialog::stepWhenIdle() {
  if (model_ == nullptr) {
    idle_.stop();
    return;
  }
  const bool more = model_->step(ui_);
  if (model_ == nullptr) return;
  if (!more) idle_.stop();
  RedrawAndSettle(model_->document(), ui_);
}

void GlobalFitDialog::syncFromModel() {
  if (model_ == nullptr || syncing_) return;
  syncing_ = true;
  const GlobalFitDialogModel& m = *model_;
  sets_->clear();
  for (size_t i = 0; i < m.setNames.size(); ++i) {
    auto* item = new QListWidgetItem(ToQString(m.setNames[i]), sets_);
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    item->setCheckState(m.setChosen[i] ? Qt::Checked : Qt::Unchecked);
  }
  family_->setCurrentText(ToQString(m.modelName));
  order_->setText(ToQString(m.orderText));
  QStringList headers{QStringLiteral("Parameter"), QStringLiteral("Shared"), QStringLiteral("Free")};
  for (int index : m.columns) {
    headers << ToQString(m.setNames[static_cast<size_t>(index)]) << QStringLiteral("\u00b1");
  }
  table_->clear();
  table_->setColumnCount(static_cast<int>(headers.size()));
  table_->setHorizontalHeaderLabels(headers);
  table_->setRowCount(static_cast<int>(m.rows.size()));
  for (size_t i = 0; i < m.rows.size(); ++i) {
    const auto& row = m.rows[i];
    const int r = static_cast<int>(i);
    table_->setItem(r, kNameColumn, TextItem(row.caption, false));
    table_->setItem(r, kSharedColumn, CheckItem(row.shared));
    table_->setItem(r, kFreeColumn, CheckItem(row.free));
    for (size_t c = 0; c < row.values.size(); ++c) {
      const int column = kFirstSetColumn + 2 * static_cast<int>(c);
      // A shared row's value is edited in the first set's column only.
      table_->setItem(r, column, TextItem(row.values[c], !m.iterating() && (!row.shared || c == 0)));
      table_->setItem(r, column + 1, TextItem(c < row.errors.size() ? row.errors[c] : std::string(), false));
    }
  }
  table_->resizeColumnsToContents();
  iterations_->setText(QStringLiteral("Iterations: ") + ToQString(m.iterationsText));
  QString chi = QStringLiteral("Chi Squared: ") + ToQString(m.chiSquareText);
  if (!m.reducedChiSquareText.empty()) chi += QStringLiteral("  (reduced ") + ToQString(m.reducedChiSquareText) + ")";
  chiSquare_->setText(chi);
  state_->setText(ToQString(m.stateText));
  iterate_->setText(ToQString(m.iterateCaption));
  guess_->setEnabled(!m.iterating());
  sets_->setEnabled(!m.iterating());
  family_->setEnabled(!m.iterating());
  order_->setEnabled(!m.iterating());
  syncing_ = false;
}

void GlobalFitDialog::closeEvent(QCloseEvent* event) {
  // Closing the window stops the run; the fits keep what it reached.
  if (model_ != nullptr && model_->iterating()) model_->toggleIterate(ui_);
  idle_.stop();
  event->accept();
}

}  // namespace zentrel
