#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything and runs every test with CTest. With --sanitize the build
# and the run use AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/).
# With --locale NAME (for example de_DE.UTF-8) the tests run under that
# locale, generated inside the build folder when the system lacks it.
set -euo pipefail
cd "$(dirname "$0")/.."

build_options=()
locale_name=""
while [ $# -gt 0 ]; do
    case "$1" in
        --sanitize) build_options+=(--sanitize) ;;
        --locale)
            locale_name=${2:?--locale needs a name such as de_DE.UTF-8}
            shift
            ;;
        *)
            echo "usage: scripts/test.sh [--sanitize] [--locale NAME]" >&2
            exit 2
            ;;
    esac
    shift
done

scripts/setup.sh
build_dir=$(scripts/build.sh "${build_options[@]}" | tail -n 1)
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

if [ -n "$locale_name" ]; then
    # de_DE.UTF-8 is built from its source de_DE and the character map UTF-8.
    locale_dir="$PWD/$build_dir/locale"
    if [ ! -d "$locale_dir/$locale_name" ]; then
        mkdir -p "$locale_dir"
        localedef -i "${locale_name%%.*}" -f "${locale_name#*.}" "$locale_dir/$locale_name" ||
            [ -d "$locale_dir/$locale_name" ]
    fi
    export LOCPATH="$locale_dir" LANG="$locale_name" LC_ALL="$locale_name"
    unset LANGUAGE
    echo "Running the tests under $locale_name"
fi
ctest --test-dir "$build_dir" --output-on-failure -j2
