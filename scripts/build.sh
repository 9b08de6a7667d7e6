#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds into build/ (or build-asan/ with --sanitize).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
options=()
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=build-asan
    options+=(-DORVELLIN_SANITIZE=ON)
fi
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
# The build's own output goes to stderr: callers read the folder from stdout.
cmake --build "$build_dir" -j"$(nproc)" >&2
echo "$build_dir"
