#pragma once
// Gridless: a search without derivatives. A sweep walks each free parameter
// on a grid of its own step to the vertex of a parabola, then walks the same
// way along the directions earlier sweeps moved the parameters in, so that
// parameters that only fit together (an amplitude and its time) move
// together instead of crawling one at a time.

#include "fit/fit_workspace.h"
#include "fit/model.h"

namespace zentrel {

class Fit;

// Gives each free parameter a grid step where it has none, and every one a
// step when the run starts: a tenth of the parameter, 1e-4 for a parameter
// at 0. Held parameters get 0. A new run forgets the sweeps' directions.
void PrepareGridless(Fit& fit, GridlessState& state);

// One sweep over the free parameters and the remembered directions; the
// fit's chi-square is that of the parameters it leaves, and
// state.settledSweeps counts the sweeps in a row that have settled. False
// when the model failed (the error is in the numeric error state, or the
// fit's errorCode).
bool GridlessSweep(ModelScope& scope, GridlessState& state);

}  // namespace zentrel
