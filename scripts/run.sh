#!/usr/bin/env bash
# Installs what is missing, builds and starts the window program with its built-in
# virtual register, so a new user sees a working register at once.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build/run" -DSERWIS_BUILD_TESTS=OFF -DSERWIS_BUILD_BENCH=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Brak ekranu graficznego: zmienne DISPLAY i WAYLAND_DISPLAY nie są ustawione." >&2
    echo "Uruchom to polecenie w sesji graficznej albo bez ekranu przez serwer wirtualny:" >&2
    echo "  apt-get install xvfb && xvfb-run ./scripts/run.sh" >&2
    echo "Bez ekranu działa też program wiersza poleceń, np.:" >&2
    echo "  $root/build/run/src/kasa --help" >&2
    exit 3
fi
exec "$root/build/run/src/gui/serwis-kas" --demo "$@"
