#!/usr/bin/env bash
# The Wine prefix of the Windows suite, under the build folder:
#   wine-prefix.sh start WINE_DIR   create it when needed (about 10 s and
#                                   700 MB the first time), map COM1 to COM9,
#                                   COM12 and COM13 to our own paths, start a private Xvfb
#                                   display for the windows of the suite, and
#                                   its wineserver
#   wine-prefix.sh stop WINE_DIR    stop that wineserver and that display
# wineserver and wineboot print to a log file, never to the caller: the
# server writes thousands of lines when a terminal it watched goes away.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
action=$1
. "$here/wine-env.sh" "$2"
mkdir -p "$wine_dir" "$ports"

stop_server() {
    # Only our own prefix's server: WINEPREFIX is set above.
    wine_bounded 30 wineserver -k >>"$log" 2>&1 || true
    wine_bounded 30 wineserver -w >>"$log" 2>&1 || true
}

# A display of our own, on a free number that Xvfb picks itself; it runs on
# after this script, its output in the log.
start_display() {
    [ -n "${DISPLAY:-}" ] && return 0 # running already (wine-env.sh)
    command -v Xvfb >/dev/null || { echo "wine: Xvfb is missing (package xvfb)" >&2; return 1; }
    rm -f "$wine_dir/display" "$wine_dir/display.fifo"
    mkfifo "$wine_dir/display.fifo"
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$wine_dir/display.fifo" </dev/null >>"$log" 2>&1 &
    echo $! >"$xvfb_pid_file"
    local number=""
    read -r -t 30 number <"$wine_dir/display.fifo" || true
    rm -f "$wine_dir/display.fifo"
    [ -n "$number" ] || { echo "wine: Xvfb did not start (see $log)" >&2; return 1; }
    DISPLAY=":$number"
    export DISPLAY
    printf '%s\n' "$DISPLAY" >"$wine_dir/display"
}

stop_display() {
    if [ -f "$xvfb_pid_file" ]; then
        kill "$(cat "$xvfb_pid_file")" 2>/dev/null || true
        rm -f "$xvfb_pid_file" "$wine_dir/display"
    fi
    unset DISPLAY
}

case "$action" in
start)
    stamp="$WINEPREFIX/.ccbench-ports"
    if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$ports ${com_numbers[*]}" ]; then
        echo "wine: preparing the prefix $WINEPREFIX"
        wine_bounded 300 wineboot --init >>"$log" 2>&1
        # wineboot only noted which devices exist (access(), no open): set
        # our COM numbers to our paths before anything opens a port.
        {
            printf 'Windows Registry Editor Version 5.00\r\n\r\n'
            printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
            for n in "${com_numbers[@]}"; do
                printf '"COM%d"="%s"\r\n' "$n" "$ports/com$n"
            done
        } >"$wine_dir/ports.reg"
        wine_bounded 60 wine reg import "Z:${wine_dir//\//\\}\\ports.reg" >>"$log" 2>&1
        stop_server # writes the registry out; the next start reads it
        printf '%s\n' "$ports ${com_numbers[*]}" >"$stamp"
    fi
    start_display
    # A persistent server for the suite; the first program run through it
    # lets the mount manager remake the COM links from the registry.
    # (wineserver -p fails when the server runs already: that one will do.)
    wine_bounded 30 wineserver -p >>"$log" 2>&1 || true
    wine_bounded 120 wine cmd /c exit >>"$log" 2>&1
    check_port_mapping
    echo "wine: prefix ready, COM ports ${com_numbers[*]} on $ports/com<n>, display $DISPLAY"
    ;;
stop)
    stop_server
    stop_display
    ;;
*)
    echo "usage: wine-prefix.sh start|stop WINE_DIR" >&2
    exit 2
    ;;
esac
