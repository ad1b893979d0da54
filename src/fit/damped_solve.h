#pragma once
// The damped normal equations of a Levenberg-Marquardt trial, solved for
// any number of unknowns: single fits and global fits share it.

#include <vector>

namespace zentrel {

// Solves (C + lambda diag(scale)) delta = g for an n x n row-major C (n =
// gradient.size()), g being -J^T r. The system is scaled to a unit diagonal
// first, which keeps the elimination accurate when the unknowns differ by
// orders of magnitude. False when it is singular or the step is not finite.
bool SolveDampedSystem(const std::vector<double>& curvature, const std::vector<double>& gradient,
                       const std::vector<double>& scale, double lambda, std::vector<double>& delta);

}  // namespace zentrel
