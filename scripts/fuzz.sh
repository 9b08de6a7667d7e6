#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes one reader with libFuzzer for the given number of seconds, 60 when
# none is given, then reports:
#   scripts/fuzz.sh [SECONDS] [profile|capture]
# profile (the default): the profile reader and writer,
# tests/fuzz/fuzz_profile.cpp; capture: the block-file readers and the
# capture writer, tests/fuzz/fuzz_capture.cpp. Builds the fuzz target alone
# with Clang into build-fuzz/ (the project still needs Qt to configure) and
# runs it on a scratch copy of the target's committed corpus,
# tests/fuzz/corpus/TARGET/, so the committed corpus changes only when you
# merge into it; tests/fuzz/TARGET.dict, when there is one, gives libFuzzer
# the file's words. An input that breaks a rule or crashes is left in
# build-fuzz/findings/TARGET/; reproduce it with
#   build-fuzz/bin/orvellin-fuzz-TARGET build-fuzz/findings/TARGET/crash-...
#
# Adding interesting inputs to the committed corpus: after a run, merge the
# scratch corpus into it, which adds only the inputs that reach code the
# corpus does not reach yet:
#   build-fuzz/bin/orvellin-fuzz-TARGET -merge=1 -max_len=4096 \
#       tests/fuzz/corpus/TARGET build-fuzz/fuzz-corpus/TARGET
# A hand-written input is added by saving it in tests/fuzz/corpus/TARGET/;
# so is a fixed finding, once it passes. Keep each corpus to a few dozen
# small files: CTest replays every one of them in every build
# (fuzz_profile_corpus, fuzz_capture_corpus).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
target=${2:-profile}
case "$target" in
    profile | capture) ;;
    *)
        echo "usage: scripts/fuzz.sh [SECONDS] [profile|capture]" >&2
        exit 2
        ;;
esac
if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh needs clang++ with libFuzzer (Debian: apt-get install clang)" >&2
    exit 1
fi
build_dir=build-fuzz
fuzzer=$build_dir/bin/orvellin-fuzz-$target
corpus=tests/fuzz/corpus/$target
dictionary=tests/fuzz/$target.dict
scratch=$build_dir/fuzz-corpus/$target
findings=$build_dir/findings/$target

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVELLIN_FUZZ=ON >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target "orvellin-fuzz-$target" >&2

rm -rf "$scratch"
mkdir -p "$scratch" "$findings"
cp "$corpus"/* "$scratch"/
options=(-max_len=4096 -max_total_time="$seconds" -print_final_stats=1
    -artifact_prefix="$findings/")
if [ -f "$dictionary" ]; then
    options+=(-dict="$dictionary")
fi
log=$build_dir/fuzz-$target.log
echo "fuzzing $target for ${seconds}s (log: $log)"
set +e
"$fuzzer" "${options[@]}" "$scratch" >"$log" 2>&1
status=$?
set -e
grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units|stat::peak_rss|SUMMARY|broken:)' \
    "$log" || true

echo "corpus: $(find "$corpus" -type f | wc -l) files committed," \
    "$(find "$scratch" -type f | wc -l) after the run ($scratch)"
if [ "$status" -ne 0 ]; then
    echo "finding: see $log and $findings/" >&2
    exit "$status"
fi
echo "no findings in ${seconds}s"
