"""Poisson likelihood fits computed independently with scipy, and their
agreement with zentrel-cli fit --weighting poisson.

Each decay is y0 + a exp(-x/t) (Exponential, order 1, x0 held at 0) with
Poisson counts drawn here from a fixed seed; some have empty bins in the
tail. scipy minimises the same deviance
    D = 2 sum [f - y + y ln(y/f)]      (y ln(y/f) = 0 where y = 0)
with scipy.optimize.minimize (trust-exact, the exact gradient and Hessian,
gtol 1e-13), then a few Newton steps polish the minimum. The standard
errors are the square roots of the diagonal of the inverse Fisher
information sum (1/f) df/dp df/dp^T. zentrel-cli fits the same files from
the same start values.

Usage: /usr/bin/python3 bench/poisson_reference.py --cli path/to/zentrel-cli
Exit status 1 when a parameter or the deviance differs by more than 1e-6
relative (the errors by more than 1e-5)."""
import argparse
import json
import os
import subprocess
import sys
import tempfile

import numpy as np
from scipy.optimize import minimize
from scipy.special import xlogy

# name, x, truth (y0, a, t), start (y0, a, t)
CASES = [
    ("peak 100, background 2", np.arange(40.0), (2.0, 100.0, 8.0), (1.0, 80.0, 6.0)),
    ("peak 100, background 0.3, empty tail", np.arange(60.0), (0.3, 100.0, 6.0), (0.5, 90.0, 5.0)),
    ("peak 20, background 1", np.arange(50.0), (1.0, 20.0, 12.0), (2.0, 15.0, 10.0)),
    ("peak 1000, background 30", np.arange(64.0), (30.0, 1000.0, 15.0), (20.0, 900.0, 12.0)),
]


def model(p, x):
    y0, a, t = p
    e = np.exp(-x / t)
    f = y0 + a * e
    d = np.stack([np.ones_like(x), e, a * e * x / t**2])
    dd = np.zeros((3, 3, x.size))
    dd[1, 2] = dd[2, 1] = e * x / t**2
    dd[2, 2] = a * e * (x**2 / t**4 - 2 * x / t**3)
    return f, d, dd


def deviance(p, x, y):
    f, _, _ = model(p, x)
    if np.any(f < 0) or np.any((f == 0) & (y > 0)):
        return np.inf
    return 2 * np.sum(f - y + xlogy(y, y / np.where(f > 0, f, 1)))


def gradient(p, x, y):
    f, d, _ = model(p, x)
    return 2 * d @ (1 - y / f)


def hessian(p, x, y):
    f, d, dd = model(p, x)
    return 2 * ((d * (y / f**2)) @ d.T + np.tensordot(dd, 1 - y / f, axes=([2], [0])))


def fit(x, y, start):
    result = minimize(deviance, start, args=(x, y), method="trust-exact", jac=gradient, hess=hessian,
                      options={"gtol": 1e-13, "maxiter": 10000})
    p = result.x
    for _ in range(5):  # Newton polish, only while it lowers the deviance
        trial = p - np.linalg.solve(hessian(p, x, y), gradient(p, x, y))
        if not deviance(trial, x, y) <= deviance(p, x, y):
            break
        p = trial
    f, d, _ = model(p, x)
    fisher = (d / f) @ d.T
    return p, deviance(p, x, y), np.sqrt(np.diag(np.linalg.inv(fisher)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    args = parser.parse_args()
    rng = np.random.RandomState(20261208)
    worst = 0.0
    worstError = 0.0
    with tempfile.TemporaryDirectory() as folder:
        for name, x, truth, start in CASES:
            f, _, _ = model(truth, x)
            y = rng.poisson(f).astype(float)
            path = os.path.join(folder, "decay.txt")
            np.savetxt(path, np.column_stack([x, y]), fmt="%.17g")
            p, dev, errors = fit(x, y, np.array(start))
            params = "%r,0,%r,%r" % start
            out = subprocess.run([args.cli, "fit", path, "--model", "Exponential", "--order", "1", "--params", params,
                                  "--hold", "1", "--weighting", "poisson", "--method", "lm", "--max-iter", "0",
                                  "--json"], capture_output=True, text=True, check=True).stdout
            ours = json.loads(out)
            mine = np.array([ours["params"][0], ours["params"][2], ours["params"][3]])
            myErrors = np.array([ours["errors"][0], ours["errors"][2], ours["errors"][3]])
            relative = np.max(np.abs(mine - p) / np.abs(p))
            devRelative = abs(ours["chi_square"] - dev) / dev
            errRelative = np.max(np.abs(myErrors - errors) / errors)
            worst = max(worst, relative, devRelative)
            worstError = max(worstError, errRelative)
            print("%s (%d empty bins):" % (name, int(np.sum(y == 0))))
            print("  scipy     y0 %.12g  a %.12g  t %.12g  deviance %.12g" % (p[0], p[1], p[2], dev))
            print("  zentrel   y0 %.12g  a %.12g  t %.12g  deviance %.12g" % (mine[0], mine[1], mine[2],
                                                                             ours["chi_square"]))
            print("  errors    scipy %s  zentrel %s" % (np.array2string(errors, precision=8),
                                                       np.array2string(myErrors, precision=8)))
            print("  largest relative difference: parameters/deviance %.3g, errors %.3g" % (
                max(relative, devRelative), errRelative))
    print("worst: parameters/deviance %.3g, errors %.3g" % (worst, worstError))
    return 0 if worst <= 1e-6 and worstError <= 1e-5 else 1


if __name__ == "__main__":
    sys.exit(main())
