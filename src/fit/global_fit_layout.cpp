#include "fit/global_fit_layout.h"

#include <algorithm>
#include <cmath>

#include "fit/fit_parameters.h"
#include "fit/weights.h"

namespace zentrel {

namespace {

int CountOf(const GlobalFitMember& member) { return std::min(ParameterCount(*member.fit), kMaxFitParameters); }

std::string Counted(int count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

bool IsShared(const SharedFlags& shared, int parameter) { return shared[static_cast<size_t>(parameter)]; }

}  // namespace

std::string GlobalFitProblem(std::span<const GlobalFitMember> members, const SharedFlags& shared) {
  if (members.empty()) return "a global fit needs at least one set";
  const Fit& first = *members.front().fit;
  const int count = CountOf(members.front());
  int unknowns = 0, points = 0;
  for (int i = 0; i < count; ++i)
    if (IsShared(shared, i) && first.freeFlags[static_cast<size_t>(i)]) ++unknowns;
  for (const GlobalFitMember& member : members) {
    const Fit& fit = *member.fit;
    if (fit.modelKind != first.modelKind || fit.order != first.order || fit.customEquation != first.customEquation)
      return MemberMessage(member, "its fit is not of the first fit's model and order");
    if (fit.method != kMethodLevenbergMarquardt) return MemberMessage(member, "a global fit uses Levenberg-Marquardt");
    // The joint vector holds parameter slots only: a shift stays where it is.
    if (fit.shiftFree) return MemberMessage(member, "a global fit holds the response's shift; hold it in every set");
    if (std::string problem = WeightingProblem(fit, member.data); !problem.empty()) return MemberMessage(member, problem);
    const int inRange = CountPointsInRange(member.data, fit.fitStart, fit.fitEnd);
    if (inRange == 0) return MemberMessage(member, "the fit range holds no points");
    int own = 0;
    for (int i = 0; i < count; ++i)
      if (!IsShared(shared, i) && fit.freeFlags[static_cast<size_t>(i)]) ++own;
    if (inRange < own)
      return MemberMessage(member, "the fit range holds " + Counted(inRange, "point") + ", fewer than its " +
                               Counted(own, "free parameter") + " of its own");
    unknowns += own;
    points += inRange;
  }
  if (points < unknowns)
    return "the fit ranges hold " + Counted(points, "point") + ", fewer than the " + Counted(unknowns, "free parameter") +
           " of the global fit";
  for (int i = 0; i < count; ++i) {
    if (!IsShared(shared, i)) continue;
    double lower = -HUGE_VAL, upper = HUGE_VAL;
    for (const GlobalFitMember& member : members) {
      lower = std::max(lower, member.fit->lowerBounds[static_cast<size_t>(i)]);
      upper = std::min(upper, member.fit->upperBounds[static_cast<size_t>(i)]);
    }
    if (lower > upper) return "the sets' bounds of the shared parameter " + ParameterName(first, i) + " do not overlap";
  }
  return {};
}

void AlignSharedParameters(std::span<GlobalFitMember> members, const SharedFlags& shared) {
  if (members.empty()) return;
  const Fit& first = *members.front().fit;
  const int count = CountOf(members.front());
  for (int i = 0; i < count; ++i) {
    if (!IsShared(shared, i)) continue;
    const auto k = static_cast<size_t>(i);
    double lower = -HUGE_VAL, upper = HUGE_VAL;
    for (const GlobalFitMember& member : members) {
      lower = std::max(lower, member.fit->lowerBounds[k]);
      upper = std::min(upper, member.fit->upperBounds[k]);
    }
    if (lower > upper) continue;  // GlobalFitProblem reports it
    const double value = std::clamp(first.params[k], lower, upper);
    const int flag = first.freeFlags[k];
    for (GlobalFitMember& member : members) {
      Fit& fit = *member.fit;
      if (fit.params[k] == value && fit.freeFlags[k] == flag && fit.lowerBounds[k] == lower && fit.upperBounds[k] == upper)
        continue;
      fit.params[k] = value;
      fit.freeFlags[k] = flag;
      fit.lowerBounds[k] = lower;
      fit.upperBounds[k] = upper;
    }
  }
}

GlobalLayout MakeGlobalLayout(std::span<const GlobalFitMember> members, const SharedFlags& shared) {
  GlobalLayout layout;
  if (members.empty()) return layout;
  const Fit& first = *members.front().fit;
  const int count = CountOf(members.front());
  std::array<int, kMaxFitParameters> sharedSlot{};
  for (int i = 0; i < count; ++i) {
    const auto k = static_cast<size_t>(i);
    if (!IsShared(shared, i) || !first.freeFlags[k]) continue;
    sharedSlot[k] = static_cast<int>(layout.unknowns.size());
    layout.unknowns.push_back({-1, i});
    layout.lower.push_back(first.lowerBounds[k]);
    layout.upper.push_back(first.upperBounds[k]);
  }
  layout.sharedCount = static_cast<int>(layout.unknowns.size());
  layout.freeIndex.resize(members.size());
  layout.slotOf.resize(members.size());
  for (size_t m = 0; m < members.size(); ++m) {
    const Fit& fit = *members[m].fit;
    for (int i = 0; i < count; ++i) {
      const auto k = static_cast<size_t>(i);
      if (!fit.freeFlags[k]) continue;
      layout.freeIndex[m].push_back(i);
      if (IsShared(shared, i)) {
        layout.slotOf[m].push_back(sharedSlot[k]);
        continue;
      }
      layout.slotOf[m].push_back(static_cast<int>(layout.unknowns.size()));
      layout.unknowns.push_back({static_cast<int>(m), i});
      layout.lower.push_back(fit.lowerBounds[k]);
      layout.upper.push_back(fit.upperBounds[k]);
    }
  }
  return layout;
}

std::vector<double> JointParameters(const GlobalLayout& layout, std::span<const GlobalFitMember> members) {
  std::vector<double> joint;
  joint.reserve(layout.unknowns.size());
  for (const GlobalLayout::Slot& slot : layout.unknowns) {
    const Fit& owner = *members[static_cast<size_t>(std::max(slot.member, 0))].fit;
    joint.push_back(owner.params[static_cast<size_t>(slot.parameter)]);
  }
  return joint;
}

void WriteJointParameters(const GlobalLayout& layout, int member, const std::vector<double>& joint,
                          std::array<double, kMaxFitParameters>& params) {
  const auto m = static_cast<size_t>(member);
  for (size_t j = 0; j < layout.freeIndex[m].size(); ++j)
    params[static_cast<size_t>(layout.freeIndex[m][j])] = joint[static_cast<size_t>(layout.slotOf[m][j])];
}

std::string MemberMessage(const GlobalFitMember& member, const std::string& what) {
  return member.label.empty() ? what : member.label + ": " + what;
}

}  // namespace zentrel
