#!/usr/bin/env bash
# Installs what is missing, builds and starts the window program.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Brak ekranu graficznego: zmienne DISPLAY i WAYLAND_DISPLAY nie są ustawione." >&2
    echo "Uruchom to polecenie w sesji graficznej albo przez: xvfb-run scripts/run.sh" >&2
    echo "Bez ekranu dostępny jest program wiersza poleceń: build/run/src/kasa --help" >&2
    exit 3
fi
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/run" -DSERWIS_BUILD_TESTS=OFF -DSERWIS_BUILD_BENCH=OFF
exec "$root/build/run/src/gui/serwis-kas" --demo "$@"
