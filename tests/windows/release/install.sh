#!/usr/bin/env bash
# The Windows release as a technician and an integrator get it, under Wine:
#   run-under-wine.sh CCSIM WINE_DIR install.sh SETUP_EXE ZIP README \
#       BREVANT_RUN_EXE EXPORTS_TXT
# 1. the installer refuses a folder it cannot write, leaving nothing behind;
# 2. a silent install into a folder of the prefix: the files the README
#    lists and nothing else, the Start-menu entry, the programs-list entry;
#    the installed Brevant.exe shows its window and talks to COM1, the
#    installed ravlin.exe reads the serial number on COM1 and, mapped, on
#    COM12; the SDK's example builds with MinGW-w64 as its note says, and a
#    client linked by lld-link against the MSVC import libraries runs;
# 3. the zip holds the same files;
# 4. the silent uninstall leaves no file and no entry.
set -uo pipefail
here=$(dirname "$(realpath "$0")")
. "$here/checks.sh"
setup=$1 zip=$2 readme=$3 brevant_run=$4 exports=$5
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Brevant'
tests_root="$WINEPREFIX/drive_c/ReleaseTests"
# What an earlier run that stopped half-way may have left in the prefix.
rm -rf "$tests_root" "$WINEPREFIX/drive_c/Program Files/Brevant"
find "$WINEPREFIX/drive_c" -name 'Brevant.lnk' -delete 2>/dev/null
timeout 60 wine reg delete "HKLM\\$uninstall_key" /f >/dev/null 2>&1
timeout 60 wine reg delete "HKCU\\$uninstall_key" /f >/dev/null 2>&1
mkdir -p "$tests_root"
[ -f "$setup" ] && [ -f "$zip" ] || { echo "no $setup or $zip: run ./package-windows first" >&2; exit 1; }

start_menu_entries() {
    find "$WINEPREFIX/drive_c" -name 'Brevant.lnk' 2>/dev/null | wc -l
}
# The entry in the list of programs: the machine's when the installer runs
# as an administrator, the user's otherwise (the installer decides).
registered() {
    local hive
    for hive in HKLM HKCU; do
        timeout 60 wine reg query "$hive\\$uninstall_key" /v DisplayName 2>/dev/null | tr -d '\r' |
            grep -o 'Brevant [0-9.]*'
    done
}
files_under() {
    (cd "$1" && find . -type f | sed 's|^\./||' | sort)
}

# 1. A folder that no one can make or write, root included: one in /proc.
# (NSIS itself takes a /D= that names a file, or a folder below one, for no
# folder given, and installs into the default folder.)
run "$setup" /S '/D=Z:\proc\brevant-release-test'
expect "install into a folder that cannot be written fails, saying why" "$status:$err" \
    "2:Brevant cannot be installed in Z:\\proc\\brevant-release-test: that folder cannot be written.$crlf"
expect "and installs nothing" "$(find "$WINEPREFIX/drive_c" -name Brevant.exe | wc -l)" "0"
expect "and registers nothing" "$(registered)" ""
expect "and adds no Start-menu entry" "$(start_menu_entries)" "0"

# 2. The silent install.
folder="$tests_root/Brevant"
run "$setup" /S '/D=C:\ReleaseTests\Brevant'
expect "silent install" "$status:$err" "0:"
# The README's list of the installed tree (the block after its marker):
# files, and folders (ending in /) that must hold at least one file.
listed=$(sed -n '/<!-- windows-installed-tree -->/,/^```$/p' "$readme" | sed '1,2d;$d' | awk '{print $1}' | sort)
[ -n "$listed" ] || echo "FAILED: no installed tree found in $readme"
installed=$(files_under "$folder")
unlisted=""
for file in $installed; do
    found=no
    for entry in $listed; do
        if [ "$file" = "$entry" ] || { [[ "$entry" == */ ]] && [[ "$file" == "$entry"* ]]; }; then
            found=yes
            break
        fi
    done
    [ $found = yes ] || unlisted+="$file "
done
missing=""
for entry in $listed; do
    [[ "$installed" == *"$entry"* ]] || missing+="$entry "
done
expect "installed files the README does not list" "$unlisted" ""
expect "README entries not installed" "$missing" ""
expect "one Start-menu entry" "$(start_menu_entries)" "1"
version=$(basename "$setup" | sed 's/^Brevant-\(.*\)-win64-setup\.exe$/\1/')
expect "the entry in the list of programs" "$(registered)" "Brevant $version"
[ -n "$(registered)" ] || find "$WINEPREFIX/drive_c" -name 'Brevant.lnk' # which Start menu it chose

run "$brevant_run" "$folder/Brevant.exe" "$work/installed.png"
expect "the installed Brevant.exe starts and talks to COM1" "$status" "0"
[ "$status" -eq 0 ] || printf '%s\n' "$err"
run "$folder/ravlin.exe" serial-number --port Com1 --address 2
expect "installed ravlin.exe on COM1" "$status:$out" "0:1234567$crlf"
run PONTEL_COM1=COM12 "$folder/ravlin.exe" serial-number --port Com1 --address 2
expect "installed ravlin.exe on Com1 mapped to COM12" "$status:$out" "0:1234567$crlf"

# The SDK: the example as its note builds it with MinGW-w64, and a client
# of the MSVC import libraries.
sdk="$folder/sdk"
expected_exports=$(sort "$exports")
msvc_exports=$(llvm-nm --defined-only "$sdk/lib/Ravlin.lib" 2>/dev/null | awk '$2 == "T" && $3 !~ /^__imp_/ {print $3}' | sort -u)
expect "Ravlin.lib lists the exports" "$msvc_exports" "$expected_exports"
(cd "$sdk" && x86_64-w64-mingw32-gcc -Iinclude examples/read_device.c -Llib -lRavlin -lPontel \
     -o "$work/read_device.exe") || echo "FAILED: the example does not build with MinGW-w64"
run "WINEPATH=C:\\ReleaseTests\\Brevant" "$work/read_device.exe" 1 2
expect_has "the example built with MinGW-w64" "$status:$out" "0:Com1, address 2: serial number 1234567"
printf 'LIBRARY KERNEL32.dll\nEXPORTS\n    GetStdHandle\n    WriteFile\n    ExitProcess\n' >"$work/kernel32.def"
llvm-dlltool -m i386:x86-64 -D KERNEL32.dll -d "$work/kernel32.def" -l "$work/kernel32.lib" &&
    clang --target=x86_64-pc-windows-msvc -ffreestanding -fno-stack-protector -mno-stack-arg-probe -O1 \
        -I"$sdk/include" -c "$here/msvc_client.c" -o "$work/msvc_client.obj" &&
    lld-link /nologo /entry:start /subsystem:console /nodefaultlib /out:"$work/msvc_client.exe" \
        "$work/msvc_client.obj" "$sdk/lib/Ravlin.lib" "$sdk/lib/Pontel.lib" "$work/kernel32.lib" ||
    echo "FAILED: the MSVC-style client does not build"
run "WINEPATH=C:\\ReleaseTests\\Brevant" "$work/msvc_client.exe"
expect "the client linked against the MSVC import libraries" "$status:$out" "0:serial number 1234567$crlf"

# 3. The zip: the same files in one folder named as the zip, without the
# uninstaller that only the installer writes.
top=$(basename "$zip" .zip)
zipped=$(python3 -c 'import sys, zipfile; [print(n) for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/")]' "$zip" |
         sed -n "s|^$top/||p" | sort)
expect "the zip holds the installed files" "$zipped" "$(files_under "$folder" | grep -vx 'Uninstall.exe')"

# 4. The silent uninstall: the uninstaller runs from a copy of itself and
# ends after its caller, hence the wait for its work to be done.
run "$folder/Uninstall.exe" /S
expect "silent uninstall" "$status" "0"
for _ in $(seq 120); do
    [ ! -e "$folder" ] && [ -z "$(registered)" ] && break
    sleep 0.5
done
expect "the uninstall leaves no file" "$(find "$folder" -type f 2>/dev/null)" ""
expect "and no entry in the list of programs" "$(registered)" ""
expect "and no Start-menu entry" "$(start_menu_entries)" "0"

finish
