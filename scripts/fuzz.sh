#!/usr/bin/env bash
# Runs one fuzz target for longer: fuzz.sh TARGET MINUTES. Builds the fuzz tree with clang
# when needed; the working corpus grows in build/fuzz-corpus/TARGET (seeded from the
# tree's corpus, which stays as it is) and found inputs land in build/fuzz-corpus/crashes.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if (($# != 2)) || ! [[ "$2" =~ ^[0-9]+$ ]]; then
    echo "Użycie: scripts/fuzz.sh CEL MINUTY (cele: $(ls "$root/tests/fuzz/corpus" | tr '\n' ' '))" >&2
    exit 2
fi
target="$1"
minutes="$2"
if [ ! -d "$root/tests/fuzz/corpus/$target" ]; then
    echo "Nieznany cel: $target" >&2
    exit 2
fi
if ! command -v clang++ >/dev/null; then
    echo "Cele fuzz wymagają kompilatora clang (pakiety clang i libclang-rt-14-dev)." >&2
    exit 1
fi
CC=clang CXX=clang++ "$root/scripts/build.sh" "$root/build/fuzz" -DSERWIS_FUZZ=ON >/dev/null
work="$root/build/fuzz-corpus/$target"
crashes="$root/build/fuzz-corpus/crashes"
mkdir -p "$work" "$crashes"
dict=()
if [ -f "$root/tests/fuzz/dict/$target.dict" ]; then dict=(-dict="$root/tests/fuzz/dict/$target.dict"); fi
exec "$root/build/fuzz/tests/fuzz/fuzz_$target" -max_total_time=$((minutes * 60)) -timeout=5 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/$target-" "${dict[@]}" \
    "$work" "$root/tests/fuzz/corpus/$target"
