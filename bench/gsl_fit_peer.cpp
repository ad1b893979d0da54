// The peer of the decay-fit benchmark: the same fit with GSL's nonlinear
// least squares (trust-region Levenberg-Marquardt, analytic Jacobian).
// Prints one JSON line: n, seconds, iterations, chi_square.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include <gsl/gsl_blas.h>
#include <gsl/gsl_multifit_nlinear.h>
#include <gsl/gsl_vector.h>

namespace {

struct Data {
  std::vector<double> x, y;
};

// p = y0, a0, t0, a1, t1
int Residuals(const gsl_vector* p, void* context, gsl_vector* f) {
  const auto* data = static_cast<const Data*>(context);
  const double y0 = gsl_vector_get(p, 0), a0 = gsl_vector_get(p, 1), t0 = gsl_vector_get(p, 2),
               a1 = gsl_vector_get(p, 3), t1 = gsl_vector_get(p, 4);
  for (size_t i = 0; i < data->x.size(); ++i) {
    const double x = data->x[i];
    gsl_vector_set(f, i, y0 + a0 * std::exp(-x / t0) + a1 * std::exp(-x / t1) - data->y[i]);
  }
  return GSL_SUCCESS;
}

int Jacobian(const gsl_vector* p, void* context, gsl_matrix* J) {
  const auto* data = static_cast<const Data*>(context);
  const double a0 = gsl_vector_get(p, 1), t0 = gsl_vector_get(p, 2), a1 = gsl_vector_get(p, 3),
               t1 = gsl_vector_get(p, 4);
  for (size_t i = 0; i < data->x.size(); ++i) {
    const double x = data->x[i];
    const double e0 = std::exp(-x / t0), e1 = std::exp(-x / t1);
    gsl_matrix_set(J, i, 0, 1.0);
    gsl_matrix_set(J, i, 1, e0);
    gsl_matrix_set(J, i, 2, a0 * x * e0 / (t0 * t0));
    gsl_matrix_set(J, i, 3, e1);
    gsl_matrix_set(J, i, 4, a1 * x * e1 / (t1 * t1));
  }
  return GSL_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gsl_fit_peer DATAFILE\n");
    return 2;
  }
  Data data;
  std::ifstream in(argv[1]);
  double x, y;
  while (in >> x >> y) data.x.push_back(x), data.y.push_back(y);
  const size_t n = data.x.size();
  const auto start = std::chrono::steady_clock::now();
  gsl_multifit_nlinear_fdf fdf{};
  fdf.f = Residuals;
  fdf.df = Jacobian;
  fdf.n = n;
  fdf.p = 5;
  fdf.params = &data;
  gsl_multifit_nlinear_parameters parameters = gsl_multifit_nlinear_default_parameters();
  gsl_multifit_nlinear_workspace* work = gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &parameters, n, 5);
  double start_values[] = {0, 1, 1, 1, 0.1};
  gsl_vector_view p0 = gsl_vector_view_array(start_values, 5);
  gsl_multifit_nlinear_init(&p0.vector, &fdf, work);
  int info = 0;
  const int status = gsl_multifit_nlinear_driver(1000, 1e-8, 1e-8, 1e-8, nullptr, nullptr, &info, work);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  gsl_vector* f = gsl_multifit_nlinear_residual(work);
  double chi = 0;
  gsl_blas_ddot(f, f, &chi);
  std::printf("{\"n\": %zu, \"seconds\": %.6f, \"iterations\": %zu, \"chi_square\": %.17g, \"status\": %d}\n", n,
              seconds, gsl_multifit_nlinear_niter(work), chi, status);
  gsl_multifit_nlinear_free(work);
  return 0;
}
