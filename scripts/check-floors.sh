#!/usr/bin/env bash
# Fails when a source folder includes a header of a folder on a higher floor.
# Floors, lowest first: a folder may include its own floor and the floors below it.
set -euo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
cd "$root/src"
grep -rnE '^[[:space:]]*#include "[a-z_]+/' --include='*.h' --include='*.cpp' . |
    awk '
    BEGIN {
        split("base:0 comm:1 tables:2 ecr:3 seq:4 verify:4 print:4 update:4 app:5 sim:5 gui:6 cli:6",
              pairs, " ")
        for (i in pairs) { split(pairs[i], kv, ":"); floor[kv[1]] = kv[2] }
        status = 0
    }
    {
        file = $0; sub(/^\.\//, "", file); sub(/:.*/, "", file)
        from = file; sub(/\/.*/, "", from)
        to = $0; sub(/^[^"]*"/, "", to); sub(/\/.*/, "", to)
        if (!(from in floor)) { print file ": folder " from " has no floor" > "/dev/stderr"; status = 1 }
        else if (!(to in floor)) { print file ": " to " has no floor" > "/dev/stderr"; status = 1 }
        else if (floor[to] > floor[from]) {
            print file ": " from " (floor " floor[from] ") includes " to " (floor " floor[to] ")" > "/dev/stderr"
            status = 1
        }
    }
    END {
        if (status == 0) print "Piętra katalogów zachowane."
        exit status
    }'
