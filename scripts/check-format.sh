#!/usr/bin/env bash
# Fails when a source file differs from what clang-format makes of it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
    'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
if ((${#files[@]} == 0)); then
    exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "Formatowanie kodu różni się od .clang-format (popraw: scripts/format.sh)." >&2
    exit 1
fi
echo "Formatowanie kodu: zgodne (${#files[@]} plików)."
