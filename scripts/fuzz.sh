#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes the profile reader and writer (tests/fuzz/fuzz_profile.cpp) with
# libFuzzer for the given number of seconds, 60 when none is given, then
# reports. Builds the fuzz target alone with Clang into build-fuzz/ (the
# project still needs Qt to configure) and runs it on a scratch copy of the
# committed corpus, tests/fuzz/corpus/profile/, so the committed corpus
# changes only when you merge into it. An input that breaks a rule or
# crashes is left in build-fuzz/findings/; reproduce it with
#   build-fuzz/bin/orvellin-fuzz-profile build-fuzz/findings/crash-...
#
# Adding interesting inputs to the committed corpus: after a run, merge the
# scratch corpus into it, which adds only the inputs that reach code the
# corpus does not reach yet:
#   build-fuzz/bin/orvellin-fuzz-profile -merge=1 -max_len=4096 \
#       tests/fuzz/corpus/profile build-fuzz/fuzz-corpus
# A hand-written input is added by saving it in tests/fuzz/corpus/profile/;
# so is a fixed finding, once it passes. Keep the corpus to a few dozen small
# files: CTest replays every one of them in every build (fuzz_profile_corpus).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh needs clang++ with libFuzzer (Debian: apt-get install clang)" >&2
    exit 1
fi
build_dir=build-fuzz
corpus=tests/fuzz/corpus/profile
scratch=$build_dir/fuzz-corpus
findings=$build_dir/findings

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVELLIN_FUZZ=ON >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target orvellin-fuzz-profile >&2

rm -rf "$scratch"
mkdir -p "$scratch" "$findings"
cp "$corpus"/* "$scratch"/
log=$build_dir/fuzz.log
echo "fuzzing for ${seconds}s (log: $log)"
set +e
"$build_dir/bin/orvellin-fuzz-profile" -max_len=4096 -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix="$findings/" "$scratch" >"$log" 2>&1
status=$?
set -e
grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units|stat::peak_rss|SUMMARY|broken:)' \
    "$log" || true

echo "corpus: $(find "$corpus" -type f | wc -l) files committed," \
    "$(find "$scratch" -type f | wc -l) after the run ($scratch)"
if [ "$status" -ne 0 ]; then
    echo "finding: see $build_dir/fuzz.log and $findings/" >&2
    exit "$status"
fi
echo "no findings in ${seconds}s"
