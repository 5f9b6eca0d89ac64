#!/usr/bin/env bash
# Makes the .deb of the program from a build tree (default build/package, built first as a
# release): package.sh [BUILD_DIR]. Prints the package's path.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${1:-$root/build/package}"
if [ ! -f "$dir/CMakeCache.txt" ]; then
    "$root/scripts/build.sh" "$dir" -DSERWIS_BUILD_TESTS=OFF -DSERWIS_BUILD_BENCH=OFF >&2
else
    cmake --build "$dir" -j "$(nproc)" >&2
fi
(cd "$dir" && cpack -G DEB >&2)
ls -t "$dir"/serwis-kas_*.deb | head -n 1
