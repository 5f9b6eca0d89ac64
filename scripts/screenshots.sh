#!/usr/bin/env bash
# Saves pictures of the main window and the settings windows into docs/, drawn on the
# offscreen platform, so no display is needed: screenshots.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${1:-$root/build/normal}"
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" --target serwis-kas-zrzuty -j "$(nproc)"
mkdir -p "$root/docs"
QT_QPA_PLATFORM=offscreen "$dir/src/gui/serwis-kas-zrzuty" "$root/docs" 2> >(grep -v 'propagateSizeHints\|XDG_RUNTIME_DIR' >&2)
