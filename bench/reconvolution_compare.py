"""The reconvolution fit of a 4096-channel photon-counting decay through
zentrel-cli and through scipy's curve_fit, on the same model: the sum of two
exponentials and y0, convolved with the measured response over strictly
positive lags with Simpson weights and normalised by the response's area.
Prints time to convergence, iterations, chi-square, the lifetimes and the
ratios."""
import json
import os
import subprocess
import sys
import time

import numpy as np
from scipy.optimize import curve_fit
from scipy.signal import fftconvolve

START = (10.0, 0.0, 10000.0, 1.0, 8000.0, 3.0)  # y0, x0 (held), a0, t0, a1, t1


def simpson_weights(m):
    w = np.where(np.arange(m) % 2 == 1, 4.0, 2.0)
    w[0] = w[-1] = 1.0
    return w


def make_model(x, irf_x, irf_y):
    m = len(irf_x)
    delta = (irf_x[-1] - irf_x[0]) / (m - 1)
    weighted = simpson_weights(m) * irf_y
    area = weighted.sum() * delta / 3.0
    k = np.rint((x - irf_x[0]) / delta).astype(int)
    lags = np.arange(k.max() + 1) * delta
    # The source point at x itself counts when rounding puts x above it.
    own = x - (irf_x[0] + k * delta)
    own_weight = np.where((own > 0) & (k < m), weighted[np.minimum(k, m - 1)], 0.0)

    def model(x_, y0, a0, t0, a1, t1):
        f = lambda u: y0 + a0 * np.exp(-u / t0) + a1 * np.exp(-u / t1)
        g = f(lags)
        g[0] = 0.0
        sums = fftconvolve(weighted, g)[: len(lags)][k] + own_weight * f(own)
        return delta / 3.0 * sums / area

    return model


def main(build, decay, irf):
    cli = os.path.join(build, "cli", "zentrel-cli")
    args = [cli, "fit", decay, "--convolve-with", irf, "--order", "2", "--hold", "1", "--json",
            "--params", ",".join(str(v) for v in START)]
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)  # warm the file cache
    runs = []
    for _ in range(5):
        start = time.perf_counter()
        out = subprocess.run(args, check=True, capture_output=True, text=True).stdout
        runs.append(time.perf_counter() - start)
    ours = json.loads(out)
    ours_time = min(runs)

    x, y = np.loadtxt(decay, unpack=True)
    irf_x, irf_y = np.loadtxt(irf, unpack=True)
    model = make_model(x, irf_x, irf_y)
    p0 = (START[0], START[2], START[3], START[4], START[5])
    scipy_runs = []
    for _ in range(5):
        start = time.perf_counter()
        popt, _, info, _, _ = curve_fit(model, x, y, p0=p0, method="lm", full_output=True)
        scipy_runs.append(time.perf_counter() - start)
    scipy_time = min(scipy_runs)

    # The fit alone, in-process, as scipy's is timed: Google Benchmark's
    # BM_ReconvolutionFit fits the same files from the same start.
    in_process = None
    bench = os.path.join(build, "bench", "zentrel_bench")
    if os.path.exists(bench):
        report = subprocess.run([bench, "--benchmark_filter=BM_ReconvolutionFit/", "--benchmark_format=json",
                                 "--benchmark_repetitions=5"], check=True, capture_output=True, text=True).stdout
        times = [b["real_time"] for b in json.loads(report)["benchmarks"] if b.get("run_type") == "iteration"]
        in_process = min(times) / 1000.0  # reported in milliseconds
    scipy_chi = float(np.sum((y - model(x, *popt)) ** 2))

    print("%-10s %9s %6s %22s %14s %14s" % ("tool", "seconds", "iter", "chi-square", "t0", "t1"))
    print("%-10s %9.4f %6d %22.15g %14.10g %14.10g" % ("zentrel", ours_time, ours["iterations"],
                                                      ours["chi_square"], ours["params"][3], ours["params"][5]))
    print("%-10s %9.4f %6d %22.15g %14.10g %14.10g" % ("scipy", scipy_time, info["nfev"], scipy_chi,
                                                      popt[2], popt[4]))
    if in_process is not None:
        print("time ratio zentrel/scipy, the fit alone: %.3f (zentrel %.4f s in-process)"
              % (in_process / scipy_time, in_process))
    print("time ratio zentrel/scipy: %.3f (wall time of the whole zentrel-cli run, start-up and file reading included)"
          % (ours_time / scipy_time))
    print("chi-square relative difference: %.3g" % (abs(ours["chi_square"] - scipy_chi) / scipy_chi))
    print("lifetime relative differences: %.3g, %.3g" % (abs(ours["params"][3] - popt[2]) / popt[2],
                                                          abs(ours["params"][5] - popt[4]) / popt[4]))


if __name__ == "__main__":
    main(*sys.argv[1:4])
