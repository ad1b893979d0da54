#pragma once
// The rates 1/t of a sum of n exponentials plus a constant, estimated two
// ways: from the linear equation the sum's repeated integrals satisfy, and
// by peeling log-linear fits off the tail one term at a time.

#include <vector>

namespace zentrel::guess {

// y = c + Σ a_k exp(-λ_k x) satisfies a linear differential equation of
// order n; integrated n times it becomes linear in the integrals of y, and
// the λ_k are the roots of its characteristic polynomial. Least squares on
// the integrals (which average the noise out) gives them. Empty when a
// root is complex or the system is singular; rates may be negative
// (growing terms).
std::vector<double> RatesByIntegration(const std::vector<double>& x, const std::vector<double>& y, int n);

// Peels n terms off r = y - baseline: a log-linear fit (weighted by r², so
// the noisy tail counts as little as it should) over the last n-th of the
// points still above the noise gives the slowest term; it is subtracted
// and the next n-th is fitted, and so on to the fastest. Empty when a
// window holds too few points above the noise or its line does not fall.
std::vector<double> RatesByPeeling(const std::vector<double>& x, const std::vector<double>& r, int n, double noise);

// The real roots of the monic polynomial x^n + c[n-1] x^(n-1) + … + c[0];
// empty when any root is complex.
std::vector<double> RealRoots(const std::vector<double>& c);

}  // namespace zentrel::guess
