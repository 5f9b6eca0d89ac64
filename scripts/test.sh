#!/usr/bin/env bash
# The whole check: installs what is missing, builds the normal and the sanitizer trees,
# checks the formatting and runs every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
# Each step says how far into the run it starts, so a slow step shows in the log.
step() { echo "== $1 (od początku: $((SECONDS / 60)) min $((SECONDS % 60)) s) =="; }
# What failed, gathered for the last lines, where a shortened log still shows it.
failures=()
# Runs one tree's tests; a failure is noted with the names of the tests that failed.
run_tests() {
    local what="$1"
    shift
    if ! ctest "$@" --output-on-failure --timeout 300; then
        local list
        list="$(ls "$2"/Testing/Temporary/LastTestsFailed*.log 2>/dev/null | head -1)"
        failures+=("$what: $( [ -n "$list" ] && cut -d: -f2 "$list" | tr '\n' ' ')")
        return 1
    fi
}
step "Pakiety"
"$root/scripts/install-deps.sh"
# Number formatting is also tested under a Polish locale.
if ! locale -a 2>/dev/null | grep -qi '^pl_PL\.utf8$'; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo sed -i 's/^# *\(pl_PL.UTF-8 UTF-8\)/\1/' /etc/locale.gen || true
    grep -q '^pl_PL.UTF-8 UTF-8' /etc/locale.gen || echo 'pl_PL.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null || true
fi
step "Formatowanie"
"$root/scripts/check-format.sh"
step "Kompilacja zwykła"
# Line tables are all the debug information the tests and the package need, and they
# keep the build short.
"$root/scripts/build.sh" "$root/build/normal" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
step "Kompilacja z AddressSanitizer i UBSan"
"$root/scripts/build.sh" "$root/build/sanitize" -DSERWIS_SANITIZE=ON -DSERWIS_BUILD_BENCH=OFF
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan_suppressions.txt"
status=0
# Most tests wait on a register's time-outs rather than compute, so four at a time on two
# cores keep the processor busy; the fuzz runs below compute all the time and go two at once.
step "Testy (kompilacja z AddressSanitizer i UBSan)"
run_tests "testy z sanitizerami" --test-dir "$root/build/sanitize" -j 4 || status=1
step "Testy (kompilacja zwykła)"
run_tests "testy zwykłe" --test-dir "$root/build/normal" -j 4 || status=1
# The parsers' fuzz targets, briefly each, where clang can build them.
if command -v clang++ >/dev/null; then
    step "Fuzzing (krótki przebieg każdego celu)"
    CC=clang CXX=clang++ "$root/scripts/build.sh" "$root/build/fuzz" -DSERWIS_FUZZ=ON
    step "Fuzzing: przebiegi"
    run_tests "fuzzing" --test-dir "$root/build/fuzz" -L fuzz -j 2 || status=1
fi
# Needs the Linux kasa of the normal tree: its virtual register serves kasa.exe over wine.
# Built without debug information and at -O1, which keeps the cross build short.
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then
    step "Windows (mingw-w64, testy pod wine)"
    "$root/scripts/build.sh" "$root/build/windows" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DSERWIS_LINUX_KASA="$root/build/normal/src/kasa"
    step "Windows: testy"
    run_tests "Windows" --test-dir "$root/build/windows" -j 2 || status=1
fi
step "Pakiet .deb"
deb="$("$root/scripts/package.sh" "$root/build/normal")" && "$root/scripts/check-package.sh" "$deb" ||
    { status=1; failures+=("pakiet .deb"); }
step "Koniec"
for failure in "${failures[@]}"; do echo "Niepowodzenie — $failure"; done
exit $status
