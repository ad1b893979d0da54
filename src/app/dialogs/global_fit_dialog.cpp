#include "app/dialogs/global_fit_dialog.h"

#include <algorithm>
#include <memory>

#include "app/dialogs/fit_dialog.h"
#include "app/global_fit_links.h"
#include "app/ui.h"
#include "fit/catalogue.h"
#include "fit/fit_parameters.h"
#include "fit/guess/start_values.h"
#include "fit/model_table.h"
#include "model/data_set.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

std::string ValueText(double value) { return CFormat("%1.6lg", value); }

// A fit of the chosen family and order the person made on this set: its
// newest one.
const Fit* LastFitLike(const Data_Set& set, int kind, int order) {
  for (auto it = set.fits.rbegin(); it != set.fits.rend(); ++it)
    if ((*it)->modelKind == kind && (*it)->order == order) return it->get();
  return nullptr;
}

}  // namespace

GlobalFitDialogModel& GlobalFitDialogOf(CZentrelDoc& doc) {
  GlobalFitLinks& links = GlobalFitLinksOf(doc);
  if (!links.dialog) links.dialog = std::make_unique<GlobalFitDialogModel>(doc);
  return *links.dialog;
}

Fit* GlobalFitDialogModel::linkedFitOf(const Data_Set& set) const {
  for (const auto& fit : set.fits)
    if (std::find(serials_.begin(), serials_.end(), fit->serial) != serials_.end()) return fit.get();
  return nullptr;
}

SharedFlags GlobalFitDialogModel::sharedFlags() const {
  SharedFlags shared{};
  for (size_t i = 0; i < rows.size() && i < shared.size(); ++i) shared[i] = rows[i].shared;
  return shared;
}

void GlobalFitDialogModel::listSets() {
  setNames.clear();
  for (const auto& set : doc_.sets) setNames.push_back(set->name);
  setChosen.resize(setNames.size(), false);
  std::vector<int> kept = columns;
  std::erase_if(kept, [&](int index) { return index >= static_cast<int>(setNames.size()); });
  // The value columns follow the sets that are left.
  if (kept != columns) chooseSets(kept);
}

bool GlobalFitDialogModel::keepColumnsValid() {
  const std::vector<std::string> before = setNames;
  listSets();
  if (setNames == before) return true;
  // Sets were closed, added or renamed: the choice starts again from the list.
  chooseSets(columns);
  return false;
}

void GlobalFitDialogModel::open() {
  if (iterating_) return;
  listSets();
  for (size_t s = 0; s < doc_.sets.size(); ++s) setChosen[s] = doc_.sets[s]->active != 0;
  // A global fit of the chosen sets' fits is shown again to be refitted.
  serials_.clear();
  GlobalFitLink* link = nullptr;
  for (size_t s = 0; s < doc_.sets.size() && link == nullptr; ++s)
    if (setChosen[s])
      for (const auto& fit : doc_.sets[s]->fits)
        if ((link = FindGlobalFitLink(doc_, fit->serial)) != nullptr) break;
  if (link != nullptr) {
    const LinkedFits linked = ResolveGlobalFitLink(doc_, *link);
    serials_ = link->serials;
    std::vector<int> indices;
    for (Data_Set* set : linked.sets) indices.push_back(doc_.IndexOf(set));
    const Fit& first = *linked.members.front().fit;
    modelName = std::string(ModelName(first.modelKind));
    orderText = CFormat("%d", first.order);
    chooseSets(indices);
    for (size_t i = 0; i < rows.size(); ++i) rows[i].shared = link->shared[i];
    showFits();
    notifyChanged();
    return;
  }
  // Otherwise the family of the first chosen set's newest fit, if it has one.
  for (size_t s = 0; s < doc_.sets.size(); ++s) {
    if (!setChosen[s] || doc_.sets[s]->fits.empty()) continue;
    const Fit& newest = *doc_.sets[s]->fits.back();
    if (newest.modelKind != kCustomFunction) {
      modelName = std::string(ModelName(newest.modelKind));
      orderText = CFormat("%d", newest.order);
    }
    break;
  }
  std::vector<int> indices;
  for (size_t s = 0; s < setChosen.size(); ++s)
    if (setChosen[s]) indices.push_back(static_cast<int>(s));
  chooseSets(indices);
  notifyChanged();
}

void GlobalFitDialogModel::chooseSets(const std::vector<int>& indices) {
  setChosen.assign(setNames.size(), false);
  columns.clear();
  for (int index : indices) {
    if (index < 0 || index >= static_cast<int>(setNames.size())) continue;
    if (setChosen[static_cast<size_t>(index)]) continue;
    setChosen[static_cast<size_t>(index)] = true;
    columns.push_back(index);
  }
  applyModel();
}

bool GlobalFitDialogModel::applyModel() {
  const int kind = ModelKindNamed(modelName);
  if (kind < 0 || kind == kCustomFunction) return false;
  Fit probe;
  SelectModel(probe, modelName, ReadEditNumber(orderText).value_or(1));
  orderText = CFormat("%d", probe.order);
  const int count = std::min(ParameterCount(probe), kMaxFitParameters);
  std::vector<Row> made(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    Row& row = made[static_cast<size_t>(i)];
    row.caption = ParameterName(probe, i);
    if (static_cast<size_t>(i) < rows.size()) row.shared = rows[static_cast<size_t>(i)].shared;
  }
  rows = std::move(made);
  std::vector<const Fit*> fits;
  for (int index : columns) {
    const Data_Set& set = *doc_.SetAt(index);
    const Fit* linked = linkedFitOf(set);
    fits.push_back(linked != nullptr && linked->modelKind == probe.modelKind && linked->order == probe.order
                       ? linked
                       : LastFitLike(set, probe.modelKind, probe.order));
  }
  showValuesFrom(fits);
  return true;
}

void GlobalFitDialogModel::showValuesFrom(const std::vector<const Fit*>& fits) {
  // A set without a fit of its own starts from the first set's values.
  const Fit* first = nullptr;
  for (const Fit* fit : fits)
    if (fit != nullptr && first == nullptr) first = fit;
  for (size_t i = 0; i < rows.size(); ++i) {
    Row& row = rows[i];
    row.values.assign(fits.size(), ValueText(first != nullptr ? first->params[i] : 0.0));
    row.errors.assign(fits.size(), std::string());
    if (first != nullptr) row.free = first->freeFlags[i] != 0;
    for (size_t c = 0; c < fits.size(); ++c)
      if (fits[c] != nullptr && !row.shared) row.values[c] = ValueText(fits[c]->params[i]);
  }
  iterationsText.clear();
  chiSquareText.clear();
  reducedChiSquareText.clear();
}

bool GlobalFitDialogModel::guess(Ui& ui) {
  if (iterating_ || !keepColumnsValid() || columns.empty()) return false;
  Fit probe;
  SelectModel(probe, modelName, ReadEditNumber(orderText).value_or(1));
  for (size_t c = 0; c < columns.size(); ++c) {
    const Data_Set& set = *doc_.SetAt(columns[c]);
    if (set.ColumnCount() < 2 || set.DrawablePointCount() == 0) {
      ui.messageBox(set.name + ": the set has no points to fit.");
      return false;
    }
    Fit trial = Fit(probe);
    if (const Fit* linked = linkedFitOf(set)) trial.setRange(linked->fitStart, linked->fitEnd);
    else trial.attach(set.ColumnData(0), set.DrawablePointCount());
    for (size_t i = 0; i < rows.size(); ++i) {
      trial.freeFlags[i] = rows[i].free ? 1 : 0;
      trial.params[i] = ReadEditNumber(rows[i].values[rows[i].shared ? 0 : c]).value_or(0.0);
    }
    const GuessResult guessed = GuessStartValues(trial, FitDataOf(set));
    if (!guessed.ok()) {
      ui.messageBox(set.name + ": " + guessed.message);
      notifyChanged();
      return false;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!rows[i].free || (rows[i].shared && c > 0)) continue;
      if (rows[i].shared) rows[i].values.assign(columns.size(), ValueText(guessed.params[i]));
      else rows[i].values[c] = ValueText(guessed.params[i]);
    }
  }
  for (Row& row : rows) row.errors.assign(columns.size(), std::string());
  stateText = "guessed";
  notifyChanged();
  return true;
}

bool GlobalFitDialogModel::toggleIterate(Ui& ui) {
  if (iterating_) {
    stop("stopped");
    return true;
  }
  if (!keepColumnsValid()) {
    ui.messageBox("The list of sets changed: check the sets to fit together.");
    notifyChanged();
    return false;
  }
  if (columns.empty()) {
    ui.messageBox("Choose the sets to fit together.");
    return false;
  }
  const int kind = ModelKindNamed(modelName);
  if (kind < 0 || kind == kCustomFunction) {
    ui.messageBox("A global fit needs a model of the catalogue other than a custom function.");
    return false;
  }
  // Every set's fit as it will be: copies first, so a refusal changes nothing.
  std::vector<std::unique_ptr<Fit>> planned;
  std::vector<GlobalFitMember> members;
  for (size_t c = 0; c < columns.size(); ++c) {
    Data_Set& set = *doc_.SetAt(columns[c]);
    if (set.ColumnCount() < 2 || set.DrawablePointCount() == 0) {
      ui.messageBox(set.name + ": the set has no points to fit.");
      return false;
    }
    const Fit* linked = linkedFitOf(set);
    auto fit = linked != nullptr ? std::make_unique<Fit>(*linked) : std::make_unique<Fit>();
    if (linked == nullptr) {
      fit->attach(set.ColumnData(0), set.DrawablePointCount());
      fit->name = modelName;
    }
    SelectModel(*fit, modelName, ReadEditNumber(orderText).value_or(1));
    fit->method = kMethodLevenbergMarquardt;
    for (size_t i = 0; i < rows.size(); ++i) {
      const std::string& text = rows[i].values[rows[i].shared ? 0 : c];
      const auto value = ReadEditNumber(text);
      if (!value) {
        ui.messageBox(rows[i].caption + ": '" + text + "' is not a number.");
        return false;
      }
      fit->params[i] = *value;
      fit->freeFlags[i] = rows[i].free ? 1 : 0;
    }
    members.push_back({fit.get(), FitDataOf(set), set.name});
    planned.push_back(std::move(fit));
  }
  const SharedFlags shared = sharedFlags();
  if (std::string problem = GlobalFitProblem(members, shared); !problem.empty()) {
    ui.messageBox(problem);
    return false;
  }
  // Taken: the linked fits get the planned settings, the other sets a new fit.
  std::vector<std::uint64_t> serials;
  for (size_t c = 0; c < columns.size(); ++c) {
    Data_Set& set = *doc_.SetAt(columns[c]);
    Fit* fit = linkedFitOf(set);
    if (fit == nullptr) {
      set.fits.push_back(std::move(planned[c]));
      fit = set.fits.back().get();
    } else {
      const Fit& plan = *planned[c];
      fit->modelKind = plan.modelKind;
      fit->order = plan.order;
      fit->method = plan.method;
      fit->params = plan.params;
      fit->freeFlags = plan.freeFlags;
    }
    fit->iterationCount = 0;
    fit->errorCode = 0;
    serials.push_back(fit->serial);
  }
  LinkGlobalFits(doc_, serials, shared);
  serials_ = std::move(serials);
  doc_.SetModifiedFlag();
  iterating_ = true;
  iterateCaption = "Stop";
  stateText = "iterating";
  for (Row& row : rows) row.errors.assign(columns.size(), std::string());
  reducedChiSquareText.clear();
  notifyChanged();
  return true;
}

bool GlobalFitDialogModel::step(Ui& ui) {
  if (!iterating_) return false;
  GlobalFitLink* link = serials_.empty() ? nullptr : FindGlobalFitLink(doc_, serials_.front());
  LinkedFits linked = link != nullptr ? ResolveGlobalFitLink(doc_, *link) : LinkedFits{};
  if (link == nullptr || linked.members.size() != serials_.size()) {
    stop("a fit of the global fit was deleted");
    return false;
  }
  const StepResult result = GlobalStep(linked.members, link->shared, *link->work, 1);
  doc_.SetModifiedFlag();
  if (!result.ok()) {
    const std::string message = result.message.empty() ? "The global fit's step failed." : result.message;
    ClearNumericError();
    for (GlobalFitMember& member : linked.members) member.fit->errorCode = 0;
    stop(message);
    ui.messageBox(message);
    return false;
  }
  const Convergence converged = GlobalConvergence(link->work->lm);
  if (converged != Convergence::kNotYet) {
    stop(std::string("converged (") + ConvergenceName(converged) + ")");
    return false;
  }
  showFits();
  notifyChanged();
  return true;
}

void GlobalFitDialogModel::stop(const std::string& state) {
  iterating_ = false;
  iterateCaption = "Iterate";
  stateText = state;
  showFits();
  showErrors();
  notifyChanged();
}

void GlobalFitDialogModel::showFits() {
  std::vector<const Fit*> fits;
  double chiSquare = 0;
  int iterations = 0;
  for (int index : columns) {
    const Data_Set* set = doc_.SetAt(index);
    const Fit* fit = set != nullptr ? linkedFitOf(*set) : nullptr;
    fits.push_back(fit);
    if (fit == nullptr) continue;
    chiSquare += fit->chiSquare;
    iterations = fit->iterationCount;
  }
  for (size_t i = 0; i < rows.size(); ++i)
    for (size_t c = 0; c < fits.size(); ++c)
      if (fits[c] != nullptr) rows[i].values[c] = ValueText(fits[c]->params[i]);
  iterationsText = CFormat("%d", iterations);
  chiSquareText = CFormat("%1.5lg", chiSquare);
}

void GlobalFitDialogModel::showErrors() {
  for (Row& row : rows) row.errors.assign(columns.size(), std::string());
  reducedChiSquareText.clear();
  GlobalFitLink* link = serials_.empty() ? nullptr : FindGlobalFitLink(doc_, serials_.front());
  if (link == nullptr) return;
  LinkedFits linked = ResolveGlobalFitLink(doc_, *link);
  if (linked.members.size() != columns.size() || linked.members.front().fit->iterationCount == 0) return;
  // Computing them must not disturb what the next step sees.
  const NumericError saved = NumericErrorState();
  ClearNumericError();
  const auto result = ComputeGlobalUncertainties(linked.members, link->shared);
  NumericErrorState() = saved;
  if (!result) return;
  for (size_t c = 0; c < result->members.size(); ++c)
    for (size_t i = 0; i < rows.size(); ++i)
      if (const auto& error = result->members[c].errors[i]) rows[i].errors[c] = CFormat("%1.4g", *error);
  reducedChiSquareText = CFormat("%1.5lg", result->reducedChiSquare);
}

}  // namespace zentrel
