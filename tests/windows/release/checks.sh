# Sourced by the release checks: runs Windows programs under Wine (through
# run-under-wine.sh, which serves the COM ports and exports the prefix) and
# compares what they print, line ends included.
#   run [VAR=VALUE...] PROGRAM ARGS...   sets $status, $out, $err
#   expect WHAT ACTUAL EXPECTED          one check, counted
#   expect_has WHAT TEXT PART            TEXT contains PART
#   finish                               the summary; fails when a check did
[ -n "${CCBENCH_WINE_PORTS:-}" ] || { echo "run me through tests/windows/run-under-wine.sh" >&2; exit 2; }
. "$(dirname "${BASH_SOURCE[0]}")/../wine-env.sh" "$(dirname "$CCBENCH_WINE_PORTS")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
checks=0
failures=0
crlf=$'\r\n'

run() {
    local settings=()
    while [[ "$1" == *=* ]]; do
        settings+=("$1")
        shift
    done
    status=0
    env "${settings[@]}" timeout --kill-after=10 120 wine "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
    out=$(cat "$work/out"; printf x)
    out=${out%x}
    err=$(cat "$work/err"; printf x)
    err=${err%x}
}

shown() {
    printf '%s' "$1" | sed -n l | head -n 20
}

expect() {
    checks=$((checks + 1))
    if [ "$2" != "$3" ]; then
        failures=$((failures + 1))
        echo "FAILED: $1"
        echo "  got:      $(shown "$2")"
        echo "  expected: $(shown "$3")"
    fi
}

expect_has() {
    checks=$((checks + 1))
    if [[ "$2" != *"$3"* ]]; then
        failures=$((failures + 1))
        echo "FAILED: $1: no $(shown "$3") in"
        shown "$2" | sed 's/^/    /'
    fi
}

# The ccsim of COM port n: a control command, without waiting for its answer.
tell() {
    printf '%s\n' "$2" >>"$CCBENCH_WINE_PORTS/port$1.in"
}

finish() {
    echo "$(basename "$0"): $checks checks, $failures failed"
    [ "$failures" -eq 0 ]
}
