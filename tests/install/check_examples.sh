#!/usr/bin/env bash
# The examples against the staged install tree: read_device.c built with
# pkg-config and with find_package(Ravlin), and read_device.py, each run
# against the staged ccsim (two coins inserted) on a pseudo-terminal mapped
# to Com1. All three must print read_device.expected.
#   check_examples.sh SOURCE_DIR STAGE WORK_DIR
set -euo pipefail
source=$(realpath "$1") stage=$(realpath "$2") work=$(realpath -m "$3")
libdir=$(cd "$stage" && ls -d "$PWD"/lib/*-linux-gnu 2>/dev/null || echo "$PWD/lib")
rm -rf "$work" && mkdir -p "$work"
unset LD_LIBRARY_PATH

# Only the staged ravlin.pc, not one installed on the machine.
export PKG_CONFIG_LIBDIR=$libdir/pkgconfig
cc -std=c99 -Wall -Wextra -pedantic -Werror -o "$work/read_device_pc" "$source/examples/read_device.c" \
   $(pkg-config --cflags --libs ravlin) -Wl,-rpath,"$(pkg-config --variable=libdir ravlin)"
cmake -S "$source/examples" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$stage" \
      -DCMAKE_C_FLAGS="-Wall -Wextra -Werror" >/dev/null
cmake --build "$work/cmake" >/dev/null
for program in "$work/read_device_pc" "$work/cmake/read_device"; do
    loaded=$(ldd "$program" | awk '$1 == "libRavlin.so.1" {print $3}')
    [ "$(realpath "$loaded")" = "$(realpath "$libdir"/libRavlin.so.1)" ] ||
        { echo "FAIL: $program loads libRavlin from '$loaded'" >&2; exit 1; }
done

coproc SIM { exec "$stage/bin/ccsim"; }
trap 'kill "$SIM_PID" 2>/dev/null || true' EXIT
read -r -t 60 terminal <&"${SIM[0]}"
# Two coins, then the state, whose event counter line tells that both are in.
printf 'coin 1\ncoin 3\nstate\n' >&"${SIM[1]}"
while read -r -t 60 line <&"${SIM[0]}"; do
    [[ $line == *"event counter 2,"* ]] && break
done
export PONTEL_COM1=$terminal

failures=0
run() {
    local name=$1; shift
    if "$@" >"$work/$name.out" 2>&1 && diff -u "$source/tests/install/read_device.expected" "$work/$name.out"; then
        echo "$name: as expected"
    else
        echo "FAIL: $name" >&2; cat "$work/$name.out" >&2; failures=$((failures + 1))
    fi
}
run c_pkg_config "$work/read_device_pc"
run c_find_package "$work/cmake/read_device" 1 0
run python python3 "$source/examples/read_device.py" --library "$libdir/libRavlin.so.1"
exit $((failures > 0))
