#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks a long run's trend against the blocks it kept, for test_cli.

    trend_oracle.py TREND FOLDER ROWS COUNT

Reads TREND with pandas as the README shows it, read_csv(TREND,
comment="#", parse_dates=["start_utc"]), and wants ROWS rows in time order
under the five columns. For each row, reads FOLDER/block-NNNNNN.csv (a
capture of COUNT results) and recomputes with numpy, from its codes and
its header's gain and Vref: the mean, minimum and maximum in volts and the
RMS noise in µV (the population standard deviation); the block's capture
must have been created in the second its row started. Prints "ROWS rows
agree" when all of it holds; exits 1 saying what does not, 3 saying what
to install when numpy or pandas is missing.
"""

import os
import sys

COLUMNS = ["start_utc", "mean_v", "rms_noise_uv", "min_v", "max_v"]


def header_of(path):
    """The "# key: value" lines of a capture or a trend, as a dict."""
    keys = {}
    with open(path, encoding="utf-8") as text:
        for line in text:
            if not line.startswith("#"):
                break
            key, _, value = line[1:].strip().partition(": ")
            keys[key] = value
    return keys


def main():
    trend_path, folder = sys.argv[1], sys.argv[2]
    rows, count = int(sys.argv[3]), int(sys.argv[4])
    try:
        import numpy as np
        import pandas as pd
    except ImportError as missing:
        print("%s has no %s: install python3-%s" % (sys.executable, missing.name, missing.name))
        sys.exit(3)

    trend = pd.read_csv(trend_path, comment="#", parse_dates=["start_utc"])
    if list(trend.columns) != COLUMNS:
        sys.exit("columns %s" % list(trend.columns))
    if len(trend) != rows:
        sys.exit("%d rows, not %d" % (len(trend), rows))
    if not pd.api.types.is_datetime64_any_dtype(trend["start_utc"]):
        sys.exit("start_utc is read as %s, not as times" % trend["start_utc"].dtype)
    if not trend["start_utc"].is_monotonic_increasing:
        sys.exit("the rows are not in time order")
    if header_of(trend_path).get("count") != str(count):
        sys.exit("the trend's count is not %d" % count)

    for number, row in enumerate(trend.itertuples(index=False), start=1):
        path = os.path.join(folder, "block-%06d.csv" % number)
        settings = header_of(path)
        block = pd.read_csv(path, comment="#")
        codes = block["code"].to_numpy(dtype=np.int64)
        if len(codes) != count:
            sys.exit("%s: %d results, not %d" % (path, len(codes), count))
        volts = codes * 2 * float(settings["vref_v"]) / (int(settings["gain"]) * 2**23)
        expected = {
            "mean_v": np.mean(volts),
            "min_v": np.min(volts),
            "max_v": np.max(volts),
            "rms_noise_uv": np.std(volts) * 1e6,
        }
        for column, value in expected.items():
            read = getattr(row, column)
            if not np.isclose(read, value, rtol=1e-9, atol=1e-15):
                sys.exit("row %d: %s %r, numpy %r" % (number, column, read, value))
        created = pd.Timestamp(settings["created"])
        if row.start_utc.floor("s") != created:
            sys.exit("row %d starts at %s, its block was created at %s"
                     % (number, row.start_utc, created))
    print("%d rows agree" % rows)


if __name__ == "__main__":
    main()
