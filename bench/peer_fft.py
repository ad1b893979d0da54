#!/usr/bin/python3
"""Times numpy on the work of zentrel_bench's transform benchmarks and prints
every time with the ratios: the real FFT against FFTW (FFTW_ESTIMATE, goal
<= 2) and numpy.fft.rfft (goal < 1), the whole power spectrum and the
convolution of a 2^20-point set with a 1001-point response.

    /usr/bin/python3 bench/peer_fft.py BENCHMARK_JSON

BENCHMARK_JSON is zentrel_bench's --benchmark_out file. Times are processor
milliseconds (user and system, so page faults of fresh buffers count):
zentrel's and FFTW's as Google Benchmark measured them, numpy's the fastest
of several runs. Processor time keeps other busy processes on the machine
from skewing the ratios as much as wall-clock time would.
"""
import json
import sys
import time


def best_ms(work, runs):
    best = None
    for _ in range(runs):
        start = time.process_time()
        work()
        elapsed = (time.process_time() - start) * 1e3
        best = elapsed if best is None else min(best, elapsed)
    return best


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    runs = {}
    for b in json.load(open(sys.argv[1]))["benchmarks"]:
        if b.get("run_type", "iteration") == "iteration":
            runs[b["name"]] = b["cpu_time"] * scale[b["time_unit"]]
    if not any(name.startswith("BM_RealFft") for name in runs):
        print("transforms: BM_RealFft did not run; no comparison")
        return
    try:
        import numpy
    except ImportError as missing:
        print("transforms: %s; install python3-numpy for the comparison" % missing)
        return

    rng = numpy.random.default_rng(7)
    for k in (20, 22):
        n = 1 << k
        y = numpy.sin(0.001 * numpy.arange(n)) + rng.normal(0.0, 0.1, n)
        rfft = best_ms(lambda: numpy.fft.rfft(y), 7)

        def spectrum():
            dx = 1e-3
            a = dx / n
            h = numpy.fft.rfft(y)
            p = 2.0 * a * a * (h.real ** 2 + h.imag ** 2)
            p[0] /= 2.0
            p[-1] /= 2.0
            return numpy.arange(n // 2 + 1) / (n * dx), 10.0 * numpy.log10(p)

        power = best_ms(spectrum, 5)
        ours = runs.get("BM_RealFft/%d" % k)
        fftw = runs.get("BM_FftwRealEstimate/%d" % k)
        line = "Real FFT of 2^%d points: zentrel %.2f ms, numpy.fft.rfft %.2f ms" % (k, ours, rfft)
        if fftw:
            line += ", FFTW_ESTIMATE %.2f ms" % fftw
        print(line)
        if fftw:
            print("  zentrel / FFTW_ESTIMATE: %.2f (goal <= 2)" % (ours / fftw))
        else:
            print("  FFTW not built in (install libfftw3-dev and rebuild): no FFTW ratio")
        print("  zentrel / numpy.fft.rfft: %.2f (goal < 1)" % (ours / rfft))
        ps = runs.get("BM_PowerSpectrum/%d" % k)
        if ps:
            print("Power spectrum of a 2^%d-point set: zentrel %.2f ms, numpy %.2f ms, ratio %.2f"
                  % (k, ps, power, ps / power))

    n = 1 << 20
    y = numpy.sin(0.001 * numpy.arange(n)) + rng.normal(0.0, 0.1, n)
    lags = numpy.arange(-500, 501)
    response = numpy.exp(-(lags / 100.0) ** 2)

    def convolve():
        wrapped = numpy.zeros(n)
        wrapped[:501] = response[500:]
        wrapped[n - 500:] = response[:500]
        return numpy.fft.irfft(numpy.fft.rfft(y) * numpy.fft.rfft(wrapped), n)

    conv = best_ms(convolve, 5)
    ours = runs.get("BM_Convolution")
    fftw = runs.get("BM_FftwConvolutionEstimate")
    if ours:
        line = "Convolution of 2^20 points with 1001: zentrel %.2f ms, numpy %.2f ms" % (ours, conv)
        if fftw:
            line += ", FFTW_ESTIMATE %.2f ms" % fftw
        print(line)
        print("  zentrel / numpy: %.2f" % (ours / conv))
        if fftw:
            print("  zentrel / FFTW_ESTIMATE: %.2f" % (ours / fftw))


if __name__ == "__main__":
    main()
