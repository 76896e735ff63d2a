#!/usr/bin/env bash
# Runs one Windows program of the suite under Wine, against the real ccsim:
#   run-under-wine.sh CCSIM WINE_DIR PROGRAM [ARGUMENTS...]
# (the prefix started by wine-prefix.sh). A PROGRAM ending in .sh is a bash
# script that runs Windows programs itself, with the environment below.
# COM1 to COM9, COM12 and COM13 of the prefix are the links $ports/com<n>;
# for each run this script serves them as follows
# (WinePorts.h gives the same table to the programs):
#   COM1  ccsim                 bytes paced at 9600 baud, as on a line
#   COM2  ccsim --no-pacing --late-delay 600
#   COM3  ccsim --no-pacing --fault silence
#   COM4  ccsim --no-pacing --reply-delay 300
#   COM5  ccsim --no-pacing --base-year 20x0
#   COM6  ccsim --no-pacing with devices 2 and 3, quiet time 300 ms
#   COM7  a regular file, not a serial port
#   COM8  nothing (the link points nowhere)
#   COM9  ccsim --no-pacing --late-delay 600, like COM2, for the tests that
#         change a device for good (its address, a fault, a quit)
#   COM12 ccsim --no-pacing, a port that Com1 to Com9 cannot name
#   COM13 the tap of COM12's ccsim: a copy of all its traffic
# Each ccsim reads control commands appended to $ports/portN.in and prints
# its answers to $ports/portN.out (after the terminal's path, its first line).
# (Not comN.in: for Windows, COM1.anything names the device COM1.)
#
# Before the program runs, and so before it can write a byte, the script
# checks that the prefix maps COM1 to COM9 to these links only, and that each
# served link is the terminal its own ccsim reported. The program gets
# CCBENCH_WINE_PORTS=$ports only then; the programs refuse to run without it.
#
# With CCBENCH_WINE_EACH_CASE=1 the program (a GoogleTest one) runs once per
# test case, each time on freshly started ccsims: the cases of the window's
# end-to-end tests each expect a new device, as each starts its own on Linux.
# Qt programs get the offscreen platform and the Liberation fonts for it
# (Wine hands WINEQT_X to the program as QT_X), and the suite's private X
# display for the windows they or their tools show (see wine-prefix.sh).
set -euo pipefail
here=$(dirname "$(realpath "$0")")
ccsim=$(realpath "$1")
. "$here/wine-env.sh" "$2"
program=$3
shift 3

declare -A served=(
    [1]=""
    [2]="--no-pacing --late-delay 600"
    [3]="--no-pacing --fault silence"
    [4]="--no-pacing --reply-delay 300"
    [5]="--no-pacing --base-year 20x0"
    [6]="--no-pacing --device 2 --quiet 300 --device 3 --quiet 300"
    [9]="--no-pacing --late-delay 600"
    [12]="--no-pacing --tap $ports/com13"
)

check_port_mapping
# The prefix's server and its services, when wine-prefix.sh did not leave
# them running: started by the program, they would hold on to this script's
# output (and print to it) long after the program ended.
wine_bounded 30 wineserver -p >>"$log" 2>&1 || true
wine_bounded 120 wine cmd /c exit >>"$log" 2>&1 || true

pids=()
stop_sims() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    pids=()
    rm -f "$ports"/com[0-9]* "$ports"/port[0-9]*.fifo
}
trap stop_sims EXIT

start_sims() {
    local n terminal
    mkdir -p "$ports"
    rm -f "$ports"/com[0-9]* "$ports"/port[0-9]*.in "$ports"/port[0-9]*.out "$ports"/port[0-9]*.err \
        "$ports"/port[0-9]*.fifo
    for n in "${!served[@]}"; do
        : >"$ports/port$n.in"
        mkfifo "$ports/port$n.fifo"
        # shellcheck disable=SC2086 # the options are words
        "$ccsim" ${served[$n]} --link "$ports/com$n" <"$ports/port$n.fifo" >"$ports/port$n.out" 2>"$ports/port$n.err" &
        pids+=($!)
        tail -n +1 -s 0.05 -f "$ports/port$n.in" >"$ports/port$n.fifo" &
        pids+=($!)
    done
    printf 'not a serial port\n' >"$ports/com7"

    for n in "${!served[@]}"; do
        terminal=""
        for _ in $(seq 200); do
            terminal=$(head -n 1 "$ports/port$n.out" 2>/dev/null || true)
            [ -n "$terminal" ] && [ -L "$ports/com$n" ] && break
            sleep 0.05
        done
        if [ -z "$terminal" ] || [ ! -c "$terminal" ] || [ "$(readlink "$ports/com$n")" != "$terminal" ]; then
            echo "wine: ccsim on COM$n did not start: $(cat "$ports/port$n.err")" >&2
            exit 1
        fi
    done
    check_port_mapping
}

export WINEQT_QPA_PLATFORM=offscreen
export WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\liberation2'

run_program() {
    local status=0 runner=wine
    [[ "$program" == *.sh ]] && runner=bash
    wine_bounded "${CCBENCH_WINE_TIMEOUT:-300}" "$runner" "$program" "$@" || status=$?
    if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
        echo "wine: $(basename "$program") did not finish in ${CCBENCH_WINE_TIMEOUT:-300} s" >&2
    fi
    return "$status"
}

start_sims
export CCBENCH_WINE_PORTS="$ports"
if [ "${CCBENCH_WINE_EACH_CASE:-0}" != 1 ]; then
    status=0
    run_program "$@" || status=$?
    exit "$status"
fi

# One run per case: "Suite." lines, then "  Case" lines (with Windows line
# ends), from the program's own list.
cases=()
suite=""
while IFS= read -r line; do
    line=${line%$'\r'}
    case "$line" in
    "  "*) cases+=("$suite${line#  }") ;;
    *.) suite=$line ;;
    esac
done < <(run_program --gtest_list_tests "$@" | sed 's/  *#.*$//')
if [ ${#cases[@]} -eq 0 ]; then
    echo "wine: $(basename "$program") lists no test case" >&2
    exit 1
fi
failed=()
for case_name in "${cases[@]}"; do
    stop_sims
    start_sims
    run_program --gtest_filter="$case_name" "$@" || failed+=("$case_name")
done
echo "wine: ${#cases[@]} cases of $(basename "$program") run one at a time, ${#failed[@]} failed ${failed[*]:-}"
[ ${#failed[@]} -eq 0 ]
