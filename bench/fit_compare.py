"""Runs the decay fit through Zentrel's engine, scipy and GSL on one data set
per size and prints the three side by side with the ratios."""
import json
import os
import subprocess
import sys
import tempfile
import time

import numpy as np
from scipy.optimize import curve_fit

SIZES = (1000, 100000, 1000000)


def model(x, y0, a0, t0, a1, t1):
    return y0 + a0 * np.exp(-x / t0) + a1 * np.exp(-x / t1)


def jacobian(x, y0, a0, t0, a1, t1):
    e0 = np.exp(-x / t0)
    e1 = np.exp(-x / t1)
    return np.column_stack((np.ones_like(x), e0, a0 * x * e0 / t0**2, e1, a1 * x * e1 / t1**2))


def main(build):
    folder = tempfile.mkdtemp(prefix="zentrel-fit-")
    rng = np.random.default_rng(1)
    for n in SIZES:
        x = np.linspace(0.0, 10.0, n)
        y = 3 * np.exp(-x / 2) + 1.5 * np.exp(-x / 0.3) + 0.2 + rng.normal(0.0, 0.01, n)
        np.savetxt(os.path.join(folder, "decay_%d.txt" % n), np.column_stack((x, y)), fmt="%.17g")

    env = dict(os.environ, ZENTREL_FIT_DATA=folder)
    out = os.path.join(folder, "zentrel.json")
    subprocess.run([os.path.join(build, "bench", "zentrel_bench"), "--benchmark_filter=BM_FitDecay",
                    "--benchmark_out=" + out, "--benchmark_out_format=json"], env=env, check=True,
                   stdout=subprocess.DEVNULL)
    ours = {}
    for run in json.load(open(out))["benchmarks"]:
        n = int(run["name"].split("/")[1])
        ours[n] = (run["real_time"] / 1000.0, int(run["fit_iterations"]), run["chi_square"])

    print("%9s  %-8s %10s %6s %22s" % ("N", "tool", "seconds", "iter", "chi-square"))
    for n in SIZES:
        data = np.loadtxt(os.path.join(folder, "decay_%d.txt" % n))
        x, y = data[:, 0], data[:, 1]
        start = time.perf_counter()
        popt, _, info, _, _ = curve_fit(model, x, y, p0=(0, 1, 1, 1, 0.1), jac=jacobian, method="lm",
                                        full_output=True)
        scipy_seconds = time.perf_counter() - start
        scipy_chi = float(np.sum((model(x, *popt) - y) ** 2))
        gsl = json.loads(subprocess.run([os.path.join(build, "bench", "gsl_fit_peer"),
                                         os.path.join(folder, "decay_%d.txt" % n)],
                                        check=True, capture_output=True, text=True).stdout)
        z_seconds, z_iter, z_chi = ours[n]
        print("%9d  %-8s %10.4f %6d %22.15g" % (n, "zentrel", z_seconds, z_iter, z_chi))
        print("%9d  %-8s %10.4f %6d %22.15g" % (n, "scipy", scipy_seconds, info["nfev"], scipy_chi))
        print("%9d  %-8s %10.4f %6d %22.15g" % (n, "gsl", gsl["seconds"], gsl["iterations"], gsl["chi_square"]))
        print("%9d  zentrel/scipy time %.2f, zentrel/gsl time %.2f, chi-square difference to scipy %.1e"
              % (n, z_seconds / scipy_seconds, z_seconds / gsl["seconds"], abs(z_chi - scipy_chi) / scipy_chi))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build")
