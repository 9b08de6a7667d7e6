#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything, then measures one collection through the real serial
# port against the simulated EVM, beside a plain pyserial loop (see
# bench/README.md). Arguments go to the benchmark, e.g. --count 10000.
# With "analysis" first, runs the analysis figures benchmark alone instead;
# the arguments after it go to that one, e.g. analysis --repeats 500. With
# "characterise" first, the noise table against the paced simulator and a
# long run's memory over 10000 blocks, e.g. characterise --rate 10,1000.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir=$(scripts/build.sh | tail -n 1)
if [ "${1:-}" = "analysis" ]; then
    shift
    exec "$build_dir/bin/orvellin-bench-analysis" "$@"
fi
if [ "${1:-}" = "characterise" ]; then
    shift
    exec "$build_dir/bin/orvellin-bench-characterise" --sim "$build_dir/bin/orvellin-evm-sim" \
        --cli "$build_dir/bin/orvellin-cli" "$@"
fi
# setup.sh installs pyserial for the system interpreter; a python3 found
# earlier on PATH (a version manager's, a virtual environment's) may lack it.
python=python3
if ! "$python" -c "import serial" 2>/dev/null; then
    python=/usr/bin/python3
fi
"$build_dir/bin/orvellin-bench-acquisition" --sim "$build_dir/bin/orvellin-evm-sim" \
    --reader bench/read_loop.py --python "$python" --cli "$build_dir/bin/orvellin-cli" "$@"
