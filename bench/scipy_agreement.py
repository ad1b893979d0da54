"""Fits examples/decay.txt with zentrel-cli and with scipy's curve_fit and
prints the relative differences of the parameters and standard errors.
Exit status 1 when any differs by more than 1e-6 relatively.

Usage: /usr/bin/python3 bench/scipy_agreement.py [path/to/zentrel-cli]"""
import json
import subprocess
import sys

import numpy as np
from scipy.optimize import curve_fit


def model(x, y0, a0, t0, a1, t1):
    return y0 + a0 * np.exp(-x / t0) + a1 * np.exp(-x / t1)


def main(cli):
    data = np.loadtxt("examples/decay.txt", comments="%")
    x, y = data[:, 0], data[:, 1]
    ours = json.loads(subprocess.run(
        [cli, "fit", "examples/decay.txt", "--order", "2", "--params", "0,0,1,1,1,0.1", "--hold", "1", "--json"],
        check=True, capture_output=True, text=True).stdout)
    popt, pcov = curve_fit(model, x, y, p0=(0, 1, 1, 1, 0.1), method="lm", xtol=1e-15, ftol=1e-15, gtol=1e-15)
    perr = np.sqrt(np.diag(pcov))
    names = ["y0", "a0", "t0", "a1", "t1"]
    ours_params = [ours["params"][i] for i in (0, 2, 3, 4, 5)]
    ours_errors = [ours["errors"][i] for i in (0, 2, 3, 4, 5)]
    worst = 0.0
    print("%-4s %22s %22s %9s %14s %14s %9s" % ("", "zentrel", "scipy", "rel diff", "zentrel err", "scipy err",
                                               "rel diff"))
    for name, p, q, e, f in zip(names, ours_params, popt, ours_errors, perr):
        dp = abs(p - q) / abs(q)
        de = abs(e - f) / abs(f)
        worst = max(worst, dp, de)
        print("%-4s %22.15g %22.15g %9.1e %14.8g %14.8g %9.1e" % (name, p, q, dp, e, f, de))
    print("largest relative difference: %.1e" % worst)
    return 0 if worst <= 1e-6 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "build/cli/zentrel-cli"))
