#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Loads a capture with numpy or pandas, for test_capture's oracle test.

    capture_oracle.py numpy|pandas PATH GAIN VREF

Prints one line per row: the code as read, the volts as read, and the volts
numpy works out from the code, code * 2 * vref / (gain * 2**23), the last
two as Python's repr (the shortest text of the double: two texts are equal
exactly when the doubles are). Exits 3, saying what to install, when the
module asked for is missing; 1 when the index column is not 0, 1, 2 ... or
a code not a whole number.
"""

import sys


def load_numpy(path):
    import numpy as np
    # As the README shows it: given the whole file, genfromtxt with
    # names=True would take the first "#" line for the column names.
    with open(path, encoding="utf-8") as capture:
        rows = (line for line in capture if not line.startswith("#"))
        table = np.genfromtxt(rows, delimiter=",", names=True)
    return table["index"], table["code"], table["volts"]


def load_pandas(path):
    import pandas as pd
    # pandas' default float parser may be one unit in the last place off; the
    # round-trip parser reads each double exactly.
    table = pd.read_csv(path, comment="#", float_precision="round_trip")
    return table["index"].to_numpy(), table["code"].to_numpy(), table["volts"].to_numpy()


def main():
    reader, path, gain, vref = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4])
    try:
        import numpy as np
        index, codes, volts = {"numpy": load_numpy, "pandas": load_pandas}[reader](path)
    except ImportError as missing:
        print("%s has no %s: install python3-%s" % (sys.executable, missing.name, missing.name))
        sys.exit(3)
    if not np.array_equal(index, np.arange(len(index))):
        sys.exit("the index column is not 0, 1, 2 ...")
    if not np.array_equal(codes, np.round(codes)):
        sys.exit("a code is not a whole number")
    codes = codes.astype(np.int64)
    expected = codes * 2 * vref / (gain * 2 ** 23)
    for code, read, worked_out in zip(codes.tolist(), volts.tolist(), expected.tolist()):
        print("%d,%r,%r" % (code, read, worked_out))


if __name__ == "__main__":
    main()
