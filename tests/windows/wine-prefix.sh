#!/usr/bin/env bash
# The Wine prefix of the Windows suite, under the build folder:
#   wine-prefix.sh start WINE_DIR   create it when needed (about 10 s and
#                                   700 MB the first time), map COM1 to COM9
#                                   to our own paths, start its wineserver
#   wine-prefix.sh stop WINE_DIR    stop that wineserver
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

case "$action" in
start)
    stamp="$WINEPREFIX/.ccbench-ports"
    if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$ports" ]; then
        echo "wine: preparing the prefix $WINEPREFIX"
        wine_bounded 300 wineboot --init >>"$log" 2>&1
        # wineboot only noted which devices exist (access(), no open): set
        # COM1 to COM9 to our paths before anything opens a port.
        {
            printf 'Windows Registry Editor Version 5.00\r\n\r\n'
            printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
            for n in 1 2 3 4 5 6 7 8 9; do
                printf '"COM%d"="%s"\r\n' "$n" "$ports/com$n"
            done
        } >"$wine_dir/ports.reg"
        wine_bounded 60 wine reg import "Z:${wine_dir//\//\\}\\ports.reg" >>"$log" 2>&1
        stop_server # writes the registry out; the next start reads it
        printf '%s\n' "$ports" >"$stamp"
    fi
    # A persistent server for the suite; the first program run through it
    # lets the mount manager remake the COM links from the registry.
    # (wineserver -p fails when the server runs already: that one will do.)
    wine_bounded 30 wineserver -p >>"$log" 2>&1 || true
    wine_bounded 120 wine cmd /c exit >>"$log" 2>&1
    check_port_mapping
    echo "wine: prefix ready, COM1 to COM9 on $ports/com1 to com9"
    ;;
stop)
    stop_server
    ;;
*)
    echo "usage: wine-prefix.sh start|stop WINE_DIR" >&2
    exit 2
    ;;
esac
