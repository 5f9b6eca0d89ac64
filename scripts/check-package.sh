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
    usr/share/man/man1/serwis-kas.1.gz usr/share/doc/serwis-kas/copyright \
    usr/share/doc/serwis-kas/changelog.Debian.gz \
    usr/share/doc/serwis-kas/przyklady/przyklad15.txt; do
    [ -e "$work/root/$f" ] || fail "brak pliku /$f"
done
# The changelog's newest entry names the version of the package it came with.
version="$(dpkg-deb -f "$deb" Version)"
zcat "$work/root/usr/share/doc/serwis-kas/changelog.Debian.gz" | head -n 1 |
    grep -q "^serwis-kas ($version) " || fail "dziennik zmian nie opisuje wersji $version"
case "$(dpkg-deb -f "$deb" Maintainer)" in
*@localhost* | "") fail "pakiet nie ma prawdziwego adresu opiekuna" ;;
esac
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
# Debian's own check of the package: its warnings are shown, an error fails the check.
command -v lintian >/dev/null || fail "brak programu lintian (scripts/debian-packages.txt)"
status=0
lintian --tag-display-limit 0 --fail-on error "$deb" >"$work/lintian.txt" 2>&1 || status=$?
cat "$work/lintian.txt" >&2
if grep -q '^E: ' "$work/lintian.txt"; then
    fail "lintian zgłasza błędy"
fi
[ "$status" -eq 0 ] || fail "lintian nie sprawdził pakietu (kod $status)"
echo "Pakiet $(basename "$deb") sprawdzony."
