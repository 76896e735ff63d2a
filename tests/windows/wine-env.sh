# Sourced by the Wine scripts of the Windows suite: the private Wine prefix
# and the folder of our own COM port links, under one folder of the build.
#   . wine-env.sh WINE_DIR
# Wine never gets to a real serial port: COM1 to COM9, COM12 and COM13 of the
# prefix are set in its registry (HKLM\Software\Wine\Ports, read when
# wineserver starts) to paths in $ports that only we create, so the
# machine's /dev/ttyS*, ttyUSB* and ttyACM* land on the other numbers from
# COM10 up, which nothing in the suite opens.
wine_dir=$(realpath -m "$1")
ports="$wine_dir/ports"
com_numbers=(1 2 3 4 5 6 7 8 9 12 13)
log="$wine_dir/wine.log"
export WINEPREFIX="$wine_dir/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Never the user's display: windows open only on the suite's own Xvfb
# (wine-prefix.sh starts it; its display is in $wine_dir/display while it
# runs), and without it no window can open at all.
unset DISPLAY WAYLAND_DISPLAY
xvfb_pid_file="$wine_dir/xvfb.pid"
if [ -f "$wine_dir/display" ] && [ -f "$xvfb_pid_file" ] && kill -0 "$(cat "$xvfb_pid_file")" 2>/dev/null; then
    DISPLAY=$(cat "$wine_dir/display")
    export DISPLAY
fi

# Every wine call is bounded: one that hangs must not hold the suite.
wine_bounded() {
    local seconds=$1
    shift
    timeout --kill-after=10 "$seconds" "$@"
}

# Whether the prefix maps our COM numbers to our own paths and nothing else:
# the registry file that wineserver reads at start, and the links it made
# from it. Prints what is wrong and fails otherwise.
check_port_mapping() {
    local n target
    for n in "${com_numbers[@]}"; do
        if ! grep -qxF "\"COM$n\"=\"$ports/com$n\"" "$WINEPREFIX/system.reg" 2>/dev/null; then
            echo "wine: COM$n is not set to $ports/com$n in $WINEPREFIX/system.reg" >&2
            return 1
        fi
        target=$(readlink "$WINEPREFIX/dosdevices/com$n" 2>/dev/null || true)
        if [ -n "$target" ] && [ "$target" != "$ports/com$n" ]; then
            echo "wine: $WINEPREFIX/dosdevices/com$n points to $target, not to $ports/com$n" >&2
            return 1
        fi
    done
}
