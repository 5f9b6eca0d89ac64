#!/usr/bin/env bash
# The build takes an upgrade address only over HTTPS and only with a key of 64 hex digits.
set -uo pipefail
cmake="$1"
settings="$2"
key="0123456789abcdef0123456789ABCDEF0123456789abcdef0123456789abcdef"
failed=0
# check URL KEY EXPECTED: EXPECTED is "ok" or a piece of the refusal's message.
check() {
    local output
    output="$("$cmake" "-DSERWIS_UPDATE_URL=$1" "-DSERWIS_UPDATE_PUBLIC_KEY=$2" -P "$settings" 2>&1)"
    local code=$?
    if [[ "$3" == ok ]]; then
        if [[ $code -ne 0 ]]; then
            echo "refused \"$1\": $output" >&2
            failed=1
        fi
    elif [[ $code -eq 0 || "$output" != *"$3"* ]]; then
        echo "\"$1\" was not refused with \"$3\": $output" >&2
        failed=1
    fi
}
check "https://serwer/katalog/serwis-kas" "$key" ok
check "" "" ok
check "http://serwer/katalog/serwis-kas" "$key" "must start with https://"
check "ftp://serwer/serwis-kas" "$key" "must start with https://"
check "serwer/https://serwis-kas" "$key" "must start with https://"
check " https://serwer/serwis-kas" "$key" "must start with https://"
check "https://serwer/serwis-kas" "" "needs SERWIS_UPDATE_PUBLIC_KEY"
check "https://serwer/serwis-kas" "${key}0" "must have 64 hex digits"
exit $failed
