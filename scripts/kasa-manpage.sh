#!/usr/bin/env bash
# Writes the manual page of kasa from its own help text, so that the two never disagree:
# kasa-manpage.sh KASA OUTPUT.1
set -euo pipefail
kasa="$1"
out="$2"
version="$("$kasa" --version | head -n 1)"
{
    echo ".TH KASA 1 \"\" \"$version\" \"Polecenia użytkownika\""
    echo ".SH NAZWA"
    echo "kasa \\- program serwisowy kas fiskalnych Zen i Vesper z wiersza poleceń"
    echo ".SH OPIS"
    echo "Polecenia czytają, sprawdzają i zapisują bazy danych kasy, jej nagłówek, stawki VAT,"
    echo "zegar i pamięć fiskalną przez port szeregowy lub USB. Polecenie"
    echo ".B kasa symulator"
    echo "uruchamia wirtualną kasę, z którą można pracować bez urządzenia."
    echo ".PP"
    echo "Poniżej pełny opis wypisywany przez"
    echo ".BR \"kasa \\-\\-help\" ."
    echo ".PP"
    echo ".nf"
    # roff takes a backslash as an escape and a leading dot or quote as a request.
    "$kasa" --help | sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
    echo ".fi"
    echo ".SH PLIKI"
    echo ".TP"
    echo ".I ~/.config/serwis-kas/config.cfg"
    echo "ustawienia programu (port, prędkość, typ kasy), wspólne z programem okienkowym"
    echo ".BR serwis-kas ;"
    echo "opcja \\-\\-config wskazuje inny plik."
    echo ".SH UWAGI"
    echo "Dostęp do portów szeregowych i USB mają członkowie grupy"
    echo ".BR dialout ."
} >"$out"
