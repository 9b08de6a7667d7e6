#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build, the tests and the benchmark need,
# when they are missing. Runs apt-get update once, before the first install.
# With --package, also what scripts/package.sh needs to build and check the
# Debian package.
set -euo pipefail

# locales and libc-l10n: the suite's second run, under a German locale, with
# the system's error texts in German (scripts/test.sh --locale).
# libfftw3-dev: spectra; libqcustomplot-dev: the analysis plots; qt6-svg-dev:
# saving them as SVG; python3-numpy: the independent figures the analysis
# tests compare against; python3-pandas: the captures' load test;
# nlohmann-json3-dev: the command line's JSON.
packages=(cmake g++ make pkgconf qt6-base-dev qt6-serialport-dev python3-serial locales libc-l10n
    libfftw3-dev libqcustomplot-dev qt6-svg-dev python3-numpy python3-pandas nlohmann-json3-dev)
if [ "${1:-}" = "--package" ]; then
    # CPack finds the dependencies with file and dpkg-shlibdeps (dpkg-dev).
    packages+=(dpkg-dev file lintian)
fi
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
