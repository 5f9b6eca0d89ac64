#!/usr/bin/env bash
# The floor check passes on a tree that keeps the floors and fails on one that does not.
set -euo pipefail
check="$1"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/src/base" "$tree/src/app" "$tree/src/comm"
echo '#include "base/a.h"' >"$tree/src/app/b.cpp"
echo '#include "base/a.h"' >"$tree/src/comm/c.cpp"
"$check" "$tree" >/dev/null
echo '#include "app/b.h"' >"$tree/src/comm/d.cpp"
if "$check" "$tree" 2>/dev/null; then
    echo "comm including app was not caught" >&2
    exit 1
fi
echo "1 passed, 0 failed"
