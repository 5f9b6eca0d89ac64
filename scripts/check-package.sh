#!/usr/bin/env bash
# Unpacks a .deb into a throwaway folder and checks what a shop computer would get:
# check-package.sh PACKAGE.deb
set -euo pipefail
deb="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
    echo "Pakiet: $*" >&2
    exit 1
}
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -e "$deb" "$work/control"
for f in usr/bin/kasa usr/bin/serwis-kas usr/share/applications/serwis-kas.desktop \
    usr/share/icons/hicolor/scalable/apps/serwis-kas.svg usr/share/man/man1/kasa.1.gz \
    usr/share/doc/serwis-kas/przyklady/przyklad15.txt; do
    [ -e "$work/root/$f" ] || fail "brak pliku /$f"
done
desktop-file-validate "$work/root/usr/share/applications/serwis-kas.desktop" ||
    fail "plik .desktop jest niepoprawny"
grep -q '^Name=Program serwisowy kas$' "$work/root/usr/share/applications/serwis-kas.desktop" ||
    fail "plik .desktop nie ma polskiej nazwy"
depends="$(dpkg-deb -f "$deb" Depends)"
case "$depends" in
*libqt6widgets6*) ;;
*) fail "zależności bez biblioteki Qt: $depends" ;;
esac
grep -q dialout "$work/control/postinst" || fail "postinst nie mówi o grupie dialout"
zcat "$work/root/usr/share/man/man1/kasa.1.gz" | grep -q 'weryfikuj' ||
    fail "strona podręcznika nie zawiera opisu poleceń"
"$work/root/usr/bin/kasa" --version | grep -q "^kasa " || fail "kasa z pakietu nie działa"
echo "Pakiet $(basename "$deb") sprawdzony."
