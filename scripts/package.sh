#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package build/orvellin_<version>_<arch>.deb with CPack
# from the RelWithDebInfo build in build/ (the binaries are stripped in the
# package), then checks it with lintian and fails on any error. Install it
# with: apt-get install ./build/orvellin_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --package
build_dir=$(scripts/build.sh | tail -n 1)

# CPack's output goes to stderr: callers read the package's path from stdout.
rm -f "$build_dir"/orvellin_*.deb
(cd "$build_dir" && cpack -G DEB) >&2
packages=("$build_dir"/orvellin_*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "package.sh: expected one orvellin_*.deb in $build_dir" >&2
    exit 1
fi
deb=${packages[0]}

# The changelog's newest entry has to be the version being packaged.
version=$(dpkg-deb -f "$deb" Version)
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
if [ "$version" != "$changelog_version" ]; then
    echo "package.sh: the package is $version, the newest entry of" \
        "packaging/changelog is $changelog_version: add an entry for $version" >&2
    exit 1
fi

lintian --fail-on error "$deb" >&2
echo "$deb"
