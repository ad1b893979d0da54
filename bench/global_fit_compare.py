"""A global fit of three decays sharing two lifetimes, through zentrel-cli
(fit --global --share 3,5) and through scipy's least_squares on the
concatenated residuals of the same joint problem. Prints the relative
difference of every parameter and standard error; exit status 1 when any
differs by more than 1e-6 relatively.

The three decays are made here with the standard library and a fixed seed
(different amplitudes, baselines, noise and point counts), so every machine
fits the same files.

Usage: /usr/bin/python3 bench/global_fit_compare.py [path/to/zentrel-cli]"""
import json
import math
import os
import random
import subprocess
import sys
import tempfile

import numpy as np
from scipy.optimize import least_squares

LIFETIMES = (0.8, 3.0)
SETS = (  # y0, a0, a1, noise, points
    (0.5, 5.0, 2.0, 0.02, 120),
    (0.2, 3.0, 4.0, 0.05, 45),
    (0.1, 1.0, 6.0, 0.03, 80),
)
START = (0.0, 0.0, 2.0, 0.5, 2.0, 5.0)  # y0, x0 (held), a0, t0, a1, t1


def write_sets(folder):
    rng = random.Random(20231)
    paths = []
    for k, (y0, a0, a1, noise, n) in enumerate(SETS):
        path = os.path.join(folder, "decay%d.txt" % k)
        with open(path, "w") as out:
            for i in range(n):
                x = 12.0 * i / (n - 1)
                y = y0 + a0 * math.exp(-x / LIFETIMES[0]) + a1 * math.exp(-x / LIFETIMES[1]) + rng.gauss(0, noise)
                out.write("%.17g %.17g\n" % (x, y))
        paths.append(path)
    return paths


def joint_residuals(data):
    # Unknowns: t0, t1, then y0, a0, a1 of each set: zentrel-cli's layout.
    def residuals(p):
        t0, t1 = p[0], p[1]
        parts = []
        for k, (x, y) in enumerate(data):
            y0, a0, a1 = p[2 + 3 * k: 5 + 3 * k]
            parts.append(y - (y0 + a0 * np.exp(-x / t0) + a1 * np.exp(-x / t1)))
        return np.concatenate(parts)
    return residuals


def main(cli):
    with tempfile.TemporaryDirectory() as folder:
        paths = write_sets(folder)
        ours = json.loads(subprocess.run(
            [cli, "fit", *paths, "--global", "--share", "3,5", "--order", "2", "--hold", "1", "--json",
             "--params", ",".join(str(v) for v in START)],
            check=True, capture_output=True, text=True).stdout)
        data = [tuple(np.loadtxt(path, unpack=True)) for path in paths]
    residuals = joint_residuals(data)
    p0 = [START[3], START[5]] + [START[i] for _ in SETS for i in (0, 2, 4)]
    fit = least_squares(residuals, p0, method="lm", xtol=1e-15, ftol=1e-15, gtol=1e-15)
    points = sum(len(x) for x, _ in data)
    dof = points - len(p0)
    variance = float(np.sum(fit.fun ** 2)) / dof
    errors = np.sqrt(np.diag(np.linalg.inv(fit.jac.T @ fit.jac)) * variance)

    rows = [("t0 (shared)", ours["sets"][0]["params"][3], ours["sets"][0]["errors"][3], fit.x[0], errors[0]),
            ("t1 (shared)", ours["sets"][0]["params"][5], ours["sets"][0]["errors"][5], fit.x[1], errors[1])]
    for k, one in enumerate(ours["sets"]):
        for j, index in enumerate((0, 2, 4)):
            slot = 2 + 3 * k + j
            rows.append(("%s set %d" % (ours["names"][index], k), one["params"][index], one["errors"][index],
                         fit.x[slot], errors[slot]))
    worst = 0.0
    print("%-14s %20s %20s %9s %13s %13s %9s" % ("", "zentrel", "scipy", "rel diff", "zentrel err", "scipy err",
                                                  "rel diff"))
    for name, p, e, q, f in rows:
        dp = abs(p - q) / abs(q)
        de = abs(e - f) / abs(f)
        worst = max(worst, dp, de)
        print("%-14s %20.14g %20.14g %9.1e %13.7g %13.7g %9.1e" % (name, p, q, dp, e, f, de))
    chi = float(np.sum(fit.fun ** 2))
    print("chi-square: zentrel %.12g, scipy %.12g (rel diff %.1e); %d points, %d free parameters" %
          (ours["chi_square"], chi, abs(ours["chi_square"] - chi) / chi, points, len(p0)))
    print("largest relative difference: %.1e" % worst)
    return 0 if worst <= 1e-6 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "build/cli/zentrel-cli"))
