#!/usr/bin/env bash
# ravlin serial-number from process start to exit: ravlin.exe under Wine and
# the Linux ravlin, alternating, against the one paced ccsim of COM1 (the
# Linux program opens its terminal through the same link). Prints the median
# of RUNS (20) of each, in milliseconds.
#   run-under-wine.sh CCSIM WINE_DIR ravlin-process-time.sh RAVLIN_EXE LINUX_RAVLIN [RUNS]
set -euo pipefail
[ -n "${CCBENCH_WINE_PORTS:-}" ] || { echo "run me through tests/windows/run-under-wine.sh" >&2; exit 2; }
windows=$1 linux=$2 runs=${3:-20}

elapsed_us() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null </dev/null || { echo "failed: $*" >&2; exit 1; }
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}
median() {
    sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f", m / 1000 }'
}

times=$(mktemp -d)
trap 'rm -rf "$times"' EXIT
for _ in $(seq "$runs"); do
    elapsed_us wine "$windows" serial-number --port Com1 --address 2 >>"$times/windows"
    elapsed_us "$linux" serial-number --port "$CCBENCH_WINE_PORTS/com1" --address 2 >>"$times/linux"
done
printf 'ravlin serial-number, process start to exit, median of %d: Linux %s ms, Windows under Wine %s ms\n' \
    "$runs" "$(median <"$times/linux")" "$(median <"$times/windows")"
