#!/usr/bin/env bash
# Writes the fifteen worked examples of the document check as files that
# "kasa weryfikuj PLIK" reads: kasa-examples.sh KASA FOLDER
set -euo pipefail
kasa="$1"
folder="$2"
mkdir -p "$folder"
for n in $(seq 1 15); do
    "$kasa" weryfikuj --przyklad "$n" >"$folder/przyklad$(printf '%02d' "$n").txt"
done
