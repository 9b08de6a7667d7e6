#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks every figure of orvellin-figures-dump against numpy.

    numpy_oracle.py PATH-TO-orvellin-figures-dump

Generates blocks of codes (noise, tones with harmonics on and between bins,
odd lengths, a constant block at full scale), saves each in the tool's text
format, runs the dump on it, and works out the same figures here on numpy's
own terms: np.std for the noise, np.histogram for wide histograms,
np.fft.rfft of a window built from the coefficients for the spectrum, and
the lobes kept as sets of bins. Exits 1, naming each figure that differs,
on any mismatch.

Tolerances: noise figures and volts to 1e-9 relative; tone figures to 1e-6 dB
and spectrum bins to 1e-3 dB; bins, counts and histograms exactly. Both sides
compute in double precision: on the development machine the tone figures
agreed to 2e-10 dB and the bins to 5e-6 dB (two FFT implementations round
differently, most in bins some 230 dB below the peak), so these leave a wide
margin and still see a bookkeeping slip of a thousandth of a dB, such as a
Nyquist bin counted as a whole bin of noise.
"""

import math
import os
import subprocess
import sys
import tempfile

try:
    import numpy as np
except ImportError:
    sys.exit("numpy_oracle.py: this interpreter (%s) has no numpy; install python3-numpy "
             "(scripts/setup.sh) or configure with -DORVELLIN_NUMPY_PYTHON=PATH" % sys.executable)

BITS = 24
HALF_SCALE = 2.0 ** 23
MAX_CODE = 2 ** 23 - 1
MIN_CODE = -2 ** 23
LOBE = 7
FLOOR_DBFS = -300.0
BLACKMAN_HARRIS_7 = [0.27105140069342, 0.43329793923448, 0.21812299954311, 0.06592544638803,
                     0.01081174209837, 0.00077658482522, 0.00001388721735]
GAINS = [1, 2, 4, 8, 16, 32, 64, 64]
RATES = {0x03: 2.5, 0x13: 5, 0x23: 10, 0x33: 15, 0x43: 25, 0x53: 30, 0x63: 50, 0x72: 60,
         0x82: 100, 0x92: 500, 0xA1: 1000, 0xB0: 2000, 0xC0: 3750, 0xD0: 7500, 0xE0: 15000,
         0xF0: 30000}

RELATIVE = 1e-9
TONE_DECIBELS = 1e-6
BIN_DECIBELS = 1e-3


# --- Signals -----------------------------------------------------------------

def quantise(values):
    return np.clip(np.round(values), MIN_CODE, MAX_CODE).astype(np.int64)


def noise(rng, length, mean, rms):
    return quantise(rng.normal(mean, rms, length))


def tone(rng, length, amplitude, cycles, harmonics=(), noise_rms=0.0):
    t = np.arange(length) / length
    values = amplitude * np.sin(2 * np.pi * cycles * t + 0.7)
    for order, dbc in harmonics:
        values += amplitude * 10 ** (dbc / 20) * np.sin(2 * np.pi * order * cycles * t + 0.2)
    if noise_rms:
        values += rng.normal(0.0, noise_rms, length)
    return quantise(values)


def cases():
    """(name, codes, gain code, DRATE code, Vref)"""
    rng = np.random.default_rng(20240611)
    full = 8388600.0
    return [
        ("noise, 65535", noise(rng, 65535, 1234.0, 10.0), 0, 0xF0, 2.5),
        ("wide noise, 4999, gain 8, Vref 3.3", noise(rng, 4999, -5000.0, 3000.0), 3, 0xA1, 3.3),
        ("noise near negative full scale, 12345", noise(rng, 12345, -8388000.0, 40.0), 6, 0x03,
         2.5),
        ("constant at positive full scale", np.full(65535, MAX_CODE, dtype=np.int64), 0, 0xF0, 2.5),
        ("constant at negative full scale", np.full(65535, MIN_CODE, dtype=np.int64), 7, 0x00, 2.5),
        ("coherent tone with harmonics, 65535",
         tone(rng, 65535, full, 2039, [(2, -100.0), (3, -95.0)], 5.0), 0, 0xF0, 2.5),
        ("non-coherent tone with harmonics, 4999",
         tone(rng, 4999, full, 345.678, [(2, -90.0), (5, -105.0)], 2.0), 1, 0xE0, 2.5),
        ("non-coherent tone, 65535", tone(rng, 65535, full / 3, 12345.678, [(3, -80.0)]), 0, 0xF0,
         2.5),
        ("folded harmonics, 4096", tone(rng, 4096, full, 1500, [(2, -90.0), (3, -85.0)], 1.0), 0,
         0xF0, 2.5),
        ("tone close to DC, 1000", tone(rng, 1000, 1e6, 12, [(3, -70.0)], 3.0), 0, 0xF0, 2.5),
        ("tone at Nyquist, 64",
         quantise(1e5 * (-1.0) ** np.arange(64) + rng.normal(7.0, 10.0, 64)), 0, 0xF0, 2.5),
        ("too short for a tone, 63", tone(rng, 63, 1e6, 11), 0, 0xF0, 2.5),
    ]


def save(path, codes):
    """The tool's text format: right-aligned in nine characters, CR LF."""
    with open(path, "w", newline="") as file:
        file.write("".join("%9d\r\n" % code for code in codes))


# --- The figures, worked out with numpy ----------------------------------------

def bits(codes_figure):
    return float(BITS) if codes_figure <= 0 else min(float(BITS), BITS - math.log2(codes_figure))


def histogram(codes):
    low, high = int(codes.min()), int(codes.max())
    span = high - low + 1
    if span <= 1024:
        return low - 0.5, 1.0, np.bincount(codes - low, minlength=span)
    counts, edges = np.histogram(codes, bins=256, range=(low - 0.5, high + 0.5))
    return low - 0.5, edges[1] - edges[0], counts


def spectrum(codes):
    n = len(codes)
    index = np.arange(n)
    window = sum((-1) ** k * a * np.cos(2 * np.pi * k * index / n)
                 for k, a in enumerate(BLACKMAN_HARRIS_7))
    # The mean under the window, so that the windowed block has no DC; the
    # plain mean first, so that a constant block leaves exactly nothing.
    centred = codes - codes.mean()
    transform = np.fft.rfft((centred - np.average(centred, weights=window)) * window)
    # Bins other than DC and (even n) Nyquist stand for their mirror image too.
    sides = np.full(len(transform), 2.0)
    sides[0] = 1.0
    if n % 2 == 0:
        sides[-1] = 1.0
    power = sides * np.abs(transform) ** 2 / (n * np.sum(window ** 2))
    magnitude = sides * np.abs(transform) / (HALF_SCALE * np.sum(window))
    with np.errstate(divide="ignore"):
        dbfs = np.maximum(20 * np.log10(magnitude), FLOOR_DBFS)
    return power, dbfs


def lobe(centre, last):
    return set(range(max(0, centre - LOBE), min(last, centre + LOBE) + 1))


def decibels(ratio):
    with np.errstate(divide="ignore"):
        return float(10 * np.log10(np.float64(ratio))) if ratio != 0 else -math.inf


def tone_figures(n, power):
    last = n // 2
    if n < 64 or power[LOBE + 1:].max() <= 0:
        return None
    # A tone stands out: 20 dB over the median bin above DC's lobe (the
    # upper median for an even count of bins, as the library ranks them).
    above = np.sort(power[LOBE + 1:])
    if power[LOBE + 1:].max() < 100.0 * above[len(above) // 2]:
        return None
    dc = set(range(0, LOBE + 1))
    k0 = LOBE + 1 + int(np.argmax(power[LOBE + 1:]))
    fundamental = lobe(k0, last) - dc
    taken = dc | fundamental
    harmonic_bins, harmonic_set = [], set()
    for order in range(2, 7):
        folded = (order * k0) % n
        folded = n - folded if folded > n // 2 else folded
        bins = lobe(folded, last)
        if bins & taken:
            harmonic_bins.append(-1)
        else:
            harmonic_bins.append(folded)
            taken |= bins
            harmonic_set |= bins
    noise_bins = sorted(set(range(0, last + 1)) - taken)
    # The band from DC to half the rate is n/2 bins wide; DC and Nyquist
    # stand for half a bin each.
    width = sum(0.5 if 2 * k == n else 1.0 for k in noise_bins)
    signal = power[sorted(fundamental)].sum()
    harmonics = power[sorted(harmonic_set)].sum() if harmonic_set else 0.0
    noise_power = power[noise_bins].sum() * (n / 2) / width
    spur = power[sorted(set(noise_bins) | harmonic_set)].max()
    sinad = decibels(signal / (noise_power + harmonics))
    return {
        "fundamental_bin": k0,
        "harmonic_bins": harmonic_bins,
        "snr": decibels(signal / noise_power),
        "thd": decibels(harmonics / signal),
        "sinad": sinad,
        "sfdr": decibels(power[k0] / spur),
        "enob": (sinad - 1.76) / 6.02,
    }


# --- Comparison ----------------------------------------------------------------

def read_dump(dump, path, gain_code, drate, vref):
    command = [dump, path, "--gain-code", str(gain_code), "--drate", "0x%02X" % drate,
               "--vref", repr(vref)]
    result = subprocess.run(command, capture_output=True, text=True, check=False)
    if result.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (" ".join(command), result.returncode,
                                                   result.stderr.strip()))
    figures = {}
    for line in result.stdout.splitlines():
        name, _, value = line.partition("=")
        figures[name] = [float(v) for v in value.split(",")] if "," in value else (
            float(value) if value else [])
    return figures


def as_list(value):
    return value if isinstance(value, list) else [value]


def check_case(dump, folder, name, codes, gain_code, drate, vref):
    path = os.path.join(folder, "block.txt")
    save(path, codes)
    got = read_dump(dump, path, gain_code, drate, vref)
    problems = []

    def close(figure, expected, tolerance, relative):
        actual = got.get(figure)
        if actual is None:
            problems.append("%s: missing from the dump" % figure)
            return
        if math.isinf(expected) or math.isinf(actual):
            ok = expected == actual
        elif relative:
            ok = abs(actual - expected) <= tolerance * max(abs(expected), 1e-300) or actual == expected
        else:
            ok = abs(actual - expected) <= tolerance
        if not ok:
            problems.append("%s: dump %.17g, numpy %.17g" % (figure, actual, expected))

    def equal(figure, expected):
        actual = [int(v) for v in as_list(got.get(figure, []))]
        if actual != [int(v) for v in expected]:
            problems.append("%s: dump %s, numpy %s" % (figure, actual[:12], list(expected)[:12]))

    gain = GAINS[gain_code]
    volts_per_code = 2 * vref / (gain * HALF_SCALE)
    mean = float(np.mean(codes))
    rms = float(np.std(codes))
    pp = float(codes.max() - codes.min())
    close("gain", gain, 0, False)
    close("rate", RATES.get(drate, 0.0), 0, False)
    close("count", len(codes), 0, False)
    close("min", int(codes.min()), 0, False)
    close("max", int(codes.max()), 0, False)
    for figure, expected in [("mean", mean), ("rms", rms), ("pp", pp),
                             ("effective_bits", bits(rms)), ("noise_free_bits", bits(pp)),
                             ("mean_v", mean * volts_per_code),
                             ("rms_uv", rms * volts_per_code * 1e6),
                             ("pp_uv", pp * volts_per_code * 1e6)]:
        close(figure, expected, RELATIVE, True)

    first, width, counts = histogram(codes)
    close("histogram_first", first, 0, False)
    close("histogram_width", width, RELATIVE, True)
    equal("histogram_counts", counts)

    power, dbfs = spectrum(codes)
    actual_dbfs = np.array(as_list(got.get("spectrum_dbfs", [])))
    if actual_dbfs.shape != dbfs.shape:
        problems.append("spectrum_dbfs: %d bins, numpy %d" % (actual_dbfs.size, dbfs.size))
    else:
        worst = int(np.argmax(np.abs(actual_dbfs - dbfs)))
        if abs(actual_dbfs[worst] - dbfs[worst]) > BIN_DECIBELS:
            problems.append("spectrum_dbfs[%d]: dump %.6f, numpy %.6f"
                            % (worst, actual_dbfs[worst], dbfs[worst]))

    expected_tone = tone_figures(len(codes), power)
    if (got.get("tone") == 1.0) != (expected_tone is not None):
        problems.append("tone: dump %s, numpy %s" % (got.get("tone"), expected_tone is not None))
    elif expected_tone:
        equal("fundamental_bin", [expected_tone["fundamental_bin"]])
        equal("harmonic_bins", expected_tone["harmonic_bins"])
        for figure in ("snr", "thd", "sinad", "sfdr"):
            close(figure, expected_tone[figure], TONE_DECIBELS, False)
        close("enob", expected_tone["enob"], TONE_DECIBELS / 6.02, False)

    status = "ok" if not problems else "MISMATCH"
    summary = ""
    if expected_tone:
        summary = "  SNR %.2f dB, THD %.2f dBc" % (expected_tone["snr"], expected_tone["thd"])
    print("%-45s %s  RMS %.4g codes%s" % (name, status, rms, summary))
    for problem in problems:
        print("    " + problem)
    return not problems


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: numpy_oracle.py PATH-TO-orvellin-figures-dump")
    dump = sys.argv[1]
    failures = 0
    with tempfile.TemporaryDirectory(prefix="orvellin-oracle-") as folder:
        for case in cases():
            if not check_case(dump, folder, *case):
                failures += 1
    if failures:
        print("%d of %d blocks differ from numpy" % (failures, len(cases())))
        return 1
    print("every figure agrees with numpy (numpy %s)" % np.__version__)
    return 0


if __name__ == "__main__":
    sys.exit(main())
