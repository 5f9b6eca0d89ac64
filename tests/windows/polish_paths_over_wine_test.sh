#!/usr/bin/env bash
# kasa.exe under wine works from a folder named with Polish letters: it takes its settings
# from "Paweł\config.cfg" (the register's port and type are only there), reads and writes
# "Paweł\żółć.csv" and the files made from it, and prints what the Linux kasa prints for
# the same commands against a fresh register of the same kind, to a pipe and to a console.
# Usage: polish_paths_over_wine_test.sh LINUX_KASA KASA_EXE WINE   (WINEPREFIX set by the caller)
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

# The path wine's drive Z: (the root folder) gives a Linux path.
windows_path() {
    printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"
}

# The goods with Polish names, as kasa writes a CSV file (Windows-1250, CR LF).
goods_table() {
    printf '%s\r\n' 'Numer;Nazwa;Kod kreskowy;PTU;Op.;Cena;Ilość' \
        '1;Żurek śląski;5901234123457;A;0;6.49;0.000' \
        '2;Łosoś wędzony;5900001122334;B;0;2.99;0.000' | iconv -f UTF-8 -t CP1250
}

# Settings file and table in $1/Paweł; the register is at the port $2.
prepare() {
    mkdir -p "$1/Paweł"
    goods_table >"$1/Paweł/żółć.csv"
    printf '[USTAWIENIA]\r\nPortName=%s\r\nChashPath=zen\r\n' "$2" >"$1/Paweł/config.cfg"
}

# Runs one command; its output, then its messages and its exit code go to the file $1. The
# messages are taken as the command ends, before a wine server it started can add to them.
run() {
    local file="$1" code=0
    shift
    "$@" >"$file" 2>"$file.err" </dev/null || code=$?
    cat "$file.err" >>"$file"
    echo "kod wyjścia $code" >>"$file"
}

# Runs the commands with one kasa in $1, naming the files with the separator $2.
run_all() {
    local out="$1" s="$2"
    shift 2
    (
        cd "$out"
        run sprawdz.txt "$@" sprawdz PLU "Paweł${s}żółć.csv"
        run zapis.txt "$@" --tak zapis PLU "Paweł${s}żółć.csv"
        run odczyt.txt "$@" odczyt PLU "Paweł${s}odczyt.csv"
        "$@" odczyt PLU >odczyt-stdout.csv
        run plik.txt "$@" plik PLU "Paweł${s}odczyt.csv" "Paweł${s}żółć.pod"
    )
}

# wine's COM6: the plain kasa.exe test uses COM5 at the same time.
mkdir -p "$WINEPREFIX/dosdevices"
ln -sfn "$work/register" "$WINEPREFIX/dosdevices/com6"

prepare "$work/windows" COM6
prepare "$work/linux" "$work/register"
windows_kasa=("$wine" "$kasa_exe" --config "$(windows_path "$work/windows/Paweł/config.cfg")")
linux_kasa_here=("$linux_kasa" --config "$work/linux/Paweł/config.cfg")

# The wine server writes to the messages of the program that started it, also when it ends
# later: it is started here.
"$wine" "$kasa_exe" --version >/dev/null 2>&1
start_simulator
run_all "$work/windows" '\' "${windows_kasa[@]}"
# The listing and a message into a console: wine gives a program a console of its own when
# its output is a terminal (here one wide enough not to break the lines).
export KASA_WINE="$wine" KASA_EXE="$kasa_exe" KASA_DIR="$work/windows"
KASA_CONFIG="$(windows_path "$work/windows/Paweł/config.cfg")"
export KASA_CONFIG
script -qec 'cd "$KASA_DIR" && stty cols 200 rows 50 &&
    "$KASA_WINE" "$KASA_EXE" --config "$KASA_CONFIG" odczyt PLU 2>/dev/null;
    "$KASA_WINE" "$KASA_EXE" --config "$KASA_CONFIG" \
        plik ŻÓŁW "Paweł\żółć.csv" "Paweł\żółć.pod" >/dev/null' \
    /dev/null >"$work/windows/console-raw.txt" </dev/null || true
stop_simulator
start_simulator
XDG_DATA_HOME="$work/linux/dane" run_all "$work/linux" / "${linux_kasa_here[@]}"
(
    cd "$work/linux"
    "${linux_kasa_here[@]}" odczyt PLU 2>/dev/null
    "${linux_kasa_here[@]}" plik ŻÓŁW Paweł/żółć.csv Paweł/żółć.pod >/dev/null 2>plik-err.txt ||
        cat plik-err.txt
) >"$work/linux/console.txt"
stop_simulator

status=0
# The names of the files are the same but for the separator; the copy of the records the
# write changed goes to each system's own folder, under a name of the moment it was made.
normalize() {
    tr -d '\r' <"$1" | sed -e 's|Paweł\\|Paweł/|g' -e '/^Kopia zapisanych rekordów: /d'
}
for file in sprawdz.txt zapis.txt odczyt.txt odczyt-stdout.csv plik.txt; do
    if ! diff <(normalize "$work/windows/$file") <(normalize "$work/linux/$file"); then
        echo "Różnica w $file" >&2
        status=1
    fi
done
for file in odczyt.csv żółć.pod; do
    cmp "$work/windows/Paweł/$file" "$work/linux/Paweł/$file" || status=1
    [ -s "$work/linux/Paweł/$file" ] || { echo "Plik $file jest pusty." >&2; status=1; }
done
# What was written is what was read back: the register took the table from żółć.csv.
grep -q '^1;Żurek śląski;' "$work/linux/odczyt-stdout.csv" ||
    { echo "Tabela z pliku żółć.csv nie trafiła do kasy." >&2; status=1; }
grep -q '^Kopia zapisanych rekordów: ' "$work/windows/zapis.txt" ||
    { echo "Zapis nie zostawił kopii rekordów." >&2; status=1; }

# The console shows the letters themselves: its control sequences (cursor shown and hidden,
# a gap written as a move of the cursor) and line ends aside, the listing is the Linux one.
perl -pe 's/\e\[\?25[lh]//g; s/\e\[K//g; s/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\][^\a]*\a//g; s/\r//g' \
    "$work/windows/console-raw.txt" >"$work/windows/console.txt"
if ! diff <(sed 's|Paweł\\|Paweł/|g' "$work/windows/console.txt") "$work/linux/console.txt"; then
    echo "Różnica w wyniku na konsoli" >&2
    status=1
fi

# kasa.exe asks for UTF-8 as its ANSI code page in its manifest.
grep -qa '>UTF-8</activeCodePage>' "$kasa_exe" ||
    { echo "kasa.exe nie ma manifestu ze stroną kodową UTF-8." >&2; status=1; }
exit $status
