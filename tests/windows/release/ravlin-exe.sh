#!/usr/bin/env bash
# ravlin.exe under Wine on the COM ports of run-under-wine.sh: one-shot
# commands (text and JSON, Windows line ends), failures and their exit
# codes, a port above COM9 named three ways, watch and monitor ended by
# Ctrl-C, scan, and a dump/apply round trip through a file.
#   run-under-wine.sh CCSIM WINE_DIR ravlin-exe.sh RAVLIN_EXE
set -uo pipefail
. "$(dirname "$0")/checks.sh"
ravlin=$1
cd "$work"

run "$ravlin" serial-number --port Com1 --address 2
expect "serial number on the paced line" "$status:$out" "0:1234567$crlf"
run "$ravlin" coin-id 7 --port com9 --address 2 --json
expect "coin id as JSON" "$status:$out" \
    "0:{\"command\":\"coin-id\",\"port\":\"Com9\",\"address\":2,\"ok\":true,\"channel\":7,\"coin_id\":\"EU100A\"}$crlf"
run "$ravlin" serial-number --port Com3 --address 2 --timeout 200
expect "a silent device" "$status:$out:$err" \
    "1::ravlin: serial-number: no reply from address 2 on Com3 (timed out)$crlf"
run "$ravlin" serial-number --port COM40
expect "a COM port that does not exist" "$status:$out:$err" \
    "3::ravlin: serial-number: cannot open COM40: no such port: \\\\.\\COM40 (is the adapter plugged in?)$crlf"
run "$ravlin" serial-number --port Com0
expect "a port name that is neither" "$status" "2"

# COM12: by its name, and as Com1 through PONTEL_COM1 in both spellings.
run "$ravlin" serial-number --port COM12 --address 2
expect "--port COM12" "$status:$out" "0:1234567$crlf"
run PONTEL_COM1=COM12 "$ravlin" product --port Com1 --address 2
expect "PONTEL_COM1=COM12" "$status:$out" "0:CV-16$crlf"
run 'PONTEL_COM1=\\.\COM12' "$ravlin" manufacturer --port Com1 --address 2
expect 'PONTEL_COM1=\\.\COM12' "$status:$out" "0:Virtual Validators$crlf"

# A program that runs until Ctrl-C: started, then interrupted as a console
# Ctrl-C does (Wine hands SIGINT to the program's console handler).
start_until_interrupted() {
    wine "$@" >"$work/long.out" 2>"$work/long.err" </dev/null &
    long=$!
}
interrupt_and_collect() {
    kill -INT "$long"
    local waited=0
    while kill -0 "$long" 2>/dev/null && [ $waited -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    kill -KILL "$long" 2>/dev/null
    status=0
    wait "$long" || status=$?
    out=$(cat "$work/long.out")
    err=$(cat "$work/long.err")
}

# Waits (60 s at most) until a file holds a text.
wait_for() {
    for _ in $(seq 600); do
        grep -qF "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    failures=$((failures + 1))
    echo "FAILED: no \"$2\" in $1"
}

start_until_interrupted "$ravlin" watch --port Com9 --address 2 --interval 50
wait_for "$work/long.out" "watching address 2" # the first poll set the starting counter
tell 9 "coin 5"
wait_for "$work/long.out" "credit on channel 5"
interrupt_and_collect
expect "watch ends on Ctrl-C" "$status" "0"
expect_has "watch saw the coin" "$out" "credit on channel 5, sorter path"
expect_has "watch says it stopped" "$out" "stopped after "

start_until_interrupted "$ravlin" monitor --port COM13
wait_for "$work/long.err" "listening on"
run "$ravlin" serial-number --port COM12 --address 2
wait_for "$work/long.out" "reply to serial number"
interrupt_and_collect
expect "monitor ends on Ctrl-C" "$status" "0"
expect_has "monitor heard the request" "$out" "host -> 2     serial number (242)"
expect_has "monitor heard the reply" "$out" "2 -> host   reply to serial number              87 D6 12"

run "$ravlin" scan --port Com6 --range 2-3
expect "scan of two devices" "$status:$out" "0:address poll on Com6: 2 3${crlf}\
address 2  Coin Acceptor  Virtual Validators  CV-16  serial 1234567${crlf}\
address 3  Coin Acceptor  Virtual Validators  CV-16  serial 1234567${crlf}\
2 addresses answer on Com6 (simple poll of addresses 2 to 3)$crlf"

# A set-up saved to a file (as a Windows program writes it), edited, and
# applied back.
run "$ravlin" dump --port Com9 --address 2
expect_has "dump" "$status:$out" "0:# "
expect_has "dump as a Windows text file" "$out" "coin-id 3 = EU005A$crlf"
printf '%s' "$out" | sed 's/^coin-id 3 = EU005A/coin-id 3 = GB005A/' >validator.txt
run "$ravlin" apply validator.txt --port Com9 --address 2
expect "apply of the edited file" "$status:$out" "0:34 settings sent to address 2 on Com9, all read back as written$crlf"
run "$ravlin" coin-id 3 --port Com9 --address 2
expect "the coin id as applied" "$out" "GB005A$crlf"

finish
