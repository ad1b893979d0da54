#pragma once
// The fits of a global fit and how the joint parameter vector is laid out
// over them: which parameters are unknowns, where each lives, and what
// makes a set of fits unfit to be fitted together (fit/global_fit.h runs
// the engine on it).

#include <array>
#include <span>
#include <string>
#include <vector>

#include "fit/fit_data.h"
#include "model/fit.h"

namespace zentrel {

// One fit of a global fit and the columns it is fitted to.
struct GlobalFitMember {
  Fit* fit = nullptr;  // not owned; receives its share of the joint result
  FitData data;
  std::string label;   // how messages name it ("a.txt", "set 2")
};

// One flag per parameter index: true when every fit shares the parameter.
using SharedFlags = std::array<bool, kMaxFitParameters>;

// Where each unknown of the joint problem lives. The free shared
// parameters come first, in parameter order, then each fit's own free
// parameters, fit by fit. Held parameters are not unknowns.
struct GlobalLayout {
  struct Slot {
    int member = -1;  // -1: shared, the same value in every fit
    int parameter = 0;
  };
  std::vector<Slot> unknowns;
  // Per fit: its free parameters (shared ones included), as Linearise takes
  // them, and the joint slot of each.
  std::vector<std::vector<int>> freeIndex;
  std::vector<std::vector<int>> slotOf;
  // Per slot: the interval it is kept in. A shared parameter's is the
  // intersection of the fits' intervals.
  std::vector<double> lower, upper;
  int sharedCount = 0;  // free shared unknowns, the first of `unknowns`
};

// Why the fits cannot be fitted together (empty when they can): they must
// be at least one, of one kind and order (one formula for custom
// functions), fitted by Levenberg-Marquardt with the response's shift
// held, with points in every range,
// at least as many points in each range as the fit has free parameters of
// its own, at least as many in all as the joint problem has unknowns, and
// intervals of each shared parameter that overlap.
std::string GlobalFitProblem(std::span<const GlobalFitMember> members, const SharedFlags& shared);

// Gives every fit the first fit's value, free flag and (intersected)
// interval of each shared parameter: the joint vector holds them once.
void AlignSharedParameters(std::span<GlobalFitMember> members, const SharedFlags& shared);

// The layout for the fits' current free flags (after AlignSharedParameters).
GlobalLayout MakeGlobalLayout(std::span<const GlobalFitMember> members, const SharedFlags& shared);

// The joint vector read from the fits' parameters; and a fit's parameter
// array with the joint values written into it.
std::vector<double> JointParameters(const GlobalLayout& layout, std::span<const GlobalFitMember> members);
void WriteJointParameters(const GlobalLayout& layout, int member, const std::vector<double>& joint,
                          std::array<double, kMaxFitParameters>& params);

// "label: what", or `what` alone for a fit without a label.
std::string MemberMessage(const GlobalFitMember& member, const std::string& what);

}  // namespace zentrel
