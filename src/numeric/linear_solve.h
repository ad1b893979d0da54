#pragma once
// The dense linear solvers. Two algorithms, each kept for the user whose
// numbers were made with it: Gauss-Jordan elimination with full pivoting
// leaves the inverse the fitting engine takes its covariance from; Crout LU
// decomposition with implicit partial pivoting solves the Savitzky-Golay
// normal equations. Either failure is reported through reportNumericError.

namespace zentrel {

class DMatrix;
class DVector;
class IVector;

// Status of luDecompose (and of the callers that pass it on).
inline constexpr int kSingularMatrix = -2;

// Solves a x = b in place with full pivoting: a (n x n, row-major) becomes
// its inverse, b (n x m, row-major) the solution. -1 when singular.
int GaussJordan(double* a, int n, double* b, int m);

// LU decomposition of the 1-based n x n matrix a, in place; index records
// the row interchanges. Returns 0, or kSingularMatrix when a row or a pivot
// is zero.
int luDecompose(DMatrix& a, int n, IVector& index);
// Solves a x = b with the decomposition; b becomes x.
void luBackSubstitute(const DMatrix& a, int n, const IVector& index, DVector& b);

}  // namespace zentrel
