#pragma once
// The shift of a convolved fit's response: the measured response r is used
// as r(x - shift), so a positive shift moves it to larger x. Between the
// response's points r is linear, and one channel beyond either end it is
// 0, so the convolved model is continuous in the shift (linear between
// whole channels). The response keeps its own grid: what moves past its
// first or last point no longer counts. The normalising area stays that of
// the response as measured.
//
// The engine counts the shift as one more parameter after the family's,
// at index kShiftIndex, whenever it is free; a held shift of 0 leaves
// every computation exactly as without it.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "model/fit.h"

namespace zentrel {

inline constexpr int kShiftIndex = kMaxFitParameters;
// The engine's parameter vectors: the family's slots, then the shift.
inline constexpr int kEngineParameters = kMaxFitParameters + 1;
using EngineParameters = std::array<double, kEngineParameters>;

// The fit convolves with a set: only then does the shift mean anything.
bool ShiftApplies(const Fit& fit);
// The engine fits the shift.
bool ShiftIsFree(const Fit& fit);
// A convolved fit whose shift is free or not 0: the files, printouts and
// reports show it only then.
bool ShiftInUse(const Fit& fit);
// The name the shift goes by in printouts and scripts.
inline constexpr const char* kShiftName = "shift";

// The channel width of the response a fit convolves with (its mean x
// spacing); 0 when there is none.
double ResponseSpacing(const Fit& fit);

// The engine's view of a fit's parameters: params, then the shift.
EngineParameters EngineParametersOf(const Fit& fit);
// Writes an engine vector back into the fit's params and shift.
void StoreEngineParameters(Fit& fit, const EngineParameters& p);
// params[index], or the shift at kShiftIndex.
double EngineParameter(const Fit& fit, int index);
// Sets params[index] or the shift.
void SetEngineParameter(Fit& fit, int index, double value);
// Whether the engine fits parameter `index` (a family slot or the shift).
bool EngineParameterFree(const Fit& fit, int index);
// Holds parameter `index` (a family slot or the shift).
void HoldEngineParameter(Fit& fit, int index);
// The free family parameters in order, then the shift when it is free.
std::vector<int> FreeEngineIndex(const Fit& fit);
// The family's parameter names followed by "shift": a name for every index
// a free index list can hold.
std::vector<std::string> EngineParameterNames(const Fit& fit);

// The response's values y (on a grid of spacing delta) moved by `shift`:
// y'_i = r(x_i - shift). A shift of 0 returns y as it is.
std::vector<double> ShiftedResponse(std::span<const double> y, double shift, double delta);
// d y'_i / d shift: the slope of the linear piece each moved point reads,
// negated. At a whole number of channels it is the slope for a growing
// shift (the right-hand derivative).
std::vector<double> ShiftedResponseSlope(std::span<const double> y, double shift, double delta);

}  // namespace zentrel
