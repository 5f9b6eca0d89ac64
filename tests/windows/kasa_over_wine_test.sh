#!/usr/bin/env bash
# kasa.exe under wine talks to the Linux virtual register through wine's COM5 (a link in
# the wine prefix to the register's pseudo-terminal) and must print and write what the
# Linux kasa does against a fresh register of the same kind.
# Usage: kasa_over_wine_test.sh LINUX_KASA KASA_EXE WINE   (WINEPREFIX set by the caller)
set -euo pipefail
linux_kasa="$1"
kasa_exe="$2"
wine="$3"
: "${WINEPREFIX:?WINEPREFIX must name the wine prefix}"
work="$(mktemp -d)"
simulator=""
stop_simulator() {
    if [ -n "$simulator" ]; then
        kill "$simulator" 2>/dev/null || true
        wait "$simulator" 2>/dev/null || true
        simulator=""
    fi
}
trap 'stop_simulator; rm -rf "$work"' EXIT

# A fresh Zen register on a pseudo-terminal reached through the link $work/register.
start_simulator() {
    rm -f "$work/register"
    "$linux_kasa" symulator --typ zen --link "$work/register" >/dev/null &
    simulator=$!
    for _ in $(seq 100); do
        [ -e "$work/register" ] && return 0
        sleep 0.05
    done
    echo "Wirtualna kasa nie wystartowała." >&2
    return 1
}

# Runs the same commands with one kasa; each command's output goes to its own file in $1.
run_all() {
    local out="$1"
    shift
    mkdir -p "$out"
    (
        cd "$out"
        "$@" info >info.txt
        "$@" odczyt PLU >plu-stdout.csv
        "$@" odczyt PLU plu.csv >plu-file.txt
        "$@" vat ustaw A=22 B=7 G=zw >vat-ustaw.txt
        "$@" vat >vat.txt
    )
}

mkdir -p "$WINEPREFIX/dosdevices"
ln -sfn "$work/register" "$WINEPREFIX/dosdevices/com5"

start_simulator
run_all "$work/windows" "$wine" "$kasa_exe" --config config.cfg --typ zen --port COM5
stop_simulator
start_simulator
XDG_DATA_HOME="$work/linux/dane" run_all "$work/linux" "$linux_kasa" --config config.cfg --typ zen \
    --port "$work/register"
stop_simulator

status=0
for file in info.txt plu-stdout.csv plu-file.txt vat-ustaw.txt vat.txt; do
    # The console's line ends are the system's own; the register's clock moves on between
    # the runs; the copy of the records a write changes goes to each system's own folder,
    # under a name of the moment it was made.
    if ! diff <(tr -d '\r' <"$work/windows/$file" | grep -v '^Zegar\|^Kopia zapisanych rekordów: ') \
        <(grep -v '^Zegar\|^Kopia zapisanych rekordów: ' "$work/linux/$file"); then
        echo "Różnica w $file" >&2
        status=1
    fi
done
# The written table file is the same byte for byte.
cmp "$work/windows/plu.csv" "$work/linux/plu.csv" || status=1
[ -s "$work/linux/plu.csv" ] || { echo "Plik plu.csv jest pusty." >&2; status=1; }
# Workbooks need the Linux version: kasa.exe says so, exits 2 and writes nothing.
if (cd "$work/windows" && "$wine" "$kasa_exe" --typ zen plik PLU plu.csv plu.xlsx \
    >xlsx-out.txt 2>xlsx-err.txt); then
    code=0
else
    code=$?
fi
if [ "$code" != 2 ] || ! grep -q 'dla Linuksa' "$work/windows/xlsx-err.txt" ||
    [ -e "$work/windows/plu.xlsx" ]; then
    echo "Plik .xlsx nie został odmówiony (kod $code)." >&2
    status=1
fi
# The rates read back are the ones just programmed, not the register's defaults.
grep -q 'A: 22%' "$work/windows/vat.txt" || { echo "Stawki nie zostały zmienione." >&2; status=1; }
exit $status
