"""Profile confidence intervals computed independently with scipy, for
three models (an exponential decay, a Gaussian peak, a power law), and
their agreement with zentrel-cli fit --confidence.

For each free parameter p_j the profile chi-square is the least-squares
minimum over the other free parameters with p_j held at a trial value
(scipy.optimize.least_squares, method "lm", started from the best fit). The
interval ends are where it reaches the level: chi2_min (1 + dchi2 / dof),
as the weights are equal and the chi-square is scaled by the residual
variance; dchi2 = 1 for 0.683 and the chi-square quantile with one degree
of freedom (3.841) for 0.95. Each end is bracketed by doubling steps from
the best fit and found with brentq.

The data are made here with a fixed seed and written with --write-data
(tests/fit/data holds them; the unit test keeps the numbers printed here
as constants, so the test suite needs no scipy).

Usage: /usr/bin/python3 bench/profile_confidence_reference.py [--write-data DIR] [--cli path/to/zentrel-cli]
Exit status 1 when an end differs by more than 1e-4 of its interval's
half-width."""
import argparse
import json
import os
import subprocess
import sys
import tempfile

import numpy as np
from scipy.optimize import brentq, least_squares
from scipy.stats import chi2


def exponential(x, y0, a, t):
    return y0 + a * np.exp(-x / t)


def gaussian(x, y0, a, off, w):
    return y0 + a * np.exp(-((x - off) / w) ** 2 / 2)


def power_law(x, y0, a, b):
    return y0 + a * x ** b


# name, file, model, truth, x, noise, zentrel-cli options, index of each
# free parameter in zentrel's parameter list
CASES = [
    ("exponential decay", "profile_exponential.txt", exponential, (0.5, 3.0, 1.7), np.linspace(0, 10, 60), 0.2,
     ["--model", "Exponential", "--order", "1", "--params", "0.4,0,2.5,1.5", "--hold", "1"], [0, 2, 3]),
    ("Gaussian peak", "profile_gaussian.txt", gaussian, (0.1, 2.0, 5.0, 0.8), np.linspace(0, 10, 80), 0.25,
     ["--model", "Gaussian", "--order", "1", "--params", "0,0,1.8,4.8,1", "--hold", "1"], [0, 2, 3, 4]),
    ("power law", "profile_power_law.txt", power_law, (1.0, 2.5, -0.7), np.linspace(0.5, 10, 50), 0.1,
     ["--model", "Power Law", "--order", "1", "--params", "0.8,0,2,0,-0.5", "--hold", "1,3"], [0, 2, 4]),
]


def make_data(case, seed):
    _, _, model, truth, x, noise, _, _ = case
    rng = np.random.RandomState(seed)
    return x, model(x, *truth) + noise * rng.standard_normal(x.size)


def chi_square(model, x, y, p):
    r = y - model(x, *p)
    return float(r @ r)


def best_fit(model, x, y, start):
    fit = least_squares(lambda p: y - model(x, *p), start, method="lm", xtol=1e-15, ftol=1e-15, gtol=1e-15)
    return fit.x


def profile(model, x, y, best, j, t):
    others = [k for k in range(len(best)) if k != j]

    def residuals(q):
        p = np.array(best, dtype=float)
        p[j] = t
        p[others] = q
        return y - model(x, *p)

    fit = least_squares(residuals, best[others], method="lm", xtol=1e-15, ftol=1e-15, gtol=1e-15)
    return 2.0 * fit.cost


def interval(model, x, y, best, j, level):
    n, k = x.size, len(best)
    chi_min = chi_square(model, x, y, best)
    delta = 1.0 if level == 0.683 else chi2.ppf(level, 1)
    threshold = chi_min * (1 + delta / (n - k))
    # The standard error (curvature scaled by the residual variance) sets the first step.
    jac = np.empty((n, k))
    for c in range(k):
        h = 1e-6 * max(abs(best[c]), 1e-3)
        up, down = np.array(best, dtype=float), np.array(best, dtype=float)
        up[c] += h
        down[c] -= h
        jac[:, c] = (model(x, *up) - model(x, *down)) / (2 * h)
    cov = np.linalg.inv(jac.T @ jac) * chi_min / (n - k)
    step0 = np.sqrt(cov[j, j] * delta)
    ends = []
    for side in (-1, 1):
        inside, step = best[j], step0
        while True:
            t = best[j] + side * step
            if profile(model, x, y, best, j, t) > threshold:
                break
            inside, step = t, step * 2
        ends.append(brentq(lambda u: profile(model, x, y, best, j, u) - threshold, inside, t, xtol=1e-13, rtol=1e-13))
    return ends


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--write-data")
    parser.add_argument("--cli")
    parser.add_argument("--inc", help="write the intervals as C++ initialisers for the unit test")
    args = parser.parse_args()
    folder = args.write_data or tempfile.mkdtemp()
    worst = 0.0
    inc = []
    for seed, case in enumerate(CASES, start=1):
        name, file, model, truth, _, _, options, indices = case
        x, y = make_data(case, seed)
        path = os.path.join(folder, file)
        with open(path, "w") as out:
            out.write("%% %s for the profile confidence reference, seed %d\n" % (name, seed))
            for a, b in zip(x, y):
                out.write("%.17g %.17g\n" % (a, b))
        best = best_fit(model, x, y, np.array(truth) * 0.9)
        print("%s (%s)" % (name, file))
        for level in (0.683, 0.95):
            ours = None
            if args.cli:
                out = subprocess.run([args.cli, "fit", path, *options, "--confidence", str(level), "--json"],
                                     check=True, capture_output=True, text=True).stdout
                ours = json.loads(out)["confidence"]["intervals"]
            for j, index in enumerate(indices):
                lo, hi = interval(model, x, y, best, j, level)
                model_name = options[options.index("--model") + 1]
                start = options[options.index("--params") + 1]
                hold = options[options.index("--hold") + 1]
                inc.append('{"%s", "%s", {%s}, {%s}, %s, %d, %.17g, %.17g},' % (
                    file, model_name, start, hold, level, index, lo, hi))
                line = "  %.3f p%-2d best %.12g  scipy [%.12g, %.12g]" % (level, index, best[j], lo, hi)
                if ours is not None:
                    entry = next(e for e in ours if e["parameter"] == index)
                    half = 0.5 * (hi - lo)
                    d_lo = abs(entry["lower"] - lo) / half
                    d_hi = abs(entry["upper"] - hi) / half
                    worst = max(worst, d_lo, d_hi)
                    line += "  zentrel [%.12g, %.12g]  diff/half-width %.1e %.1e" % (
                        entry["lower"], entry["upper"], d_lo, d_hi)
                print(line)
    if args.inc:
        with open(args.inc, "w") as out:
            out.write("// Written by bench/profile_confidence_reference.py --inc: file, model, start values,\n"
                      "// held parameters, level, parameter, scipy's lower and upper end.\n")
            out.write("\n".join(inc) + "\n")
    if args.cli:
        print("largest difference: %.2e of an interval's half-width" % worst)
    return 1 if worst > 1e-4 else 0


if __name__ == "__main__":
    sys.exit(main())
