#!/usr/bin/env bash
# The staged install tree: its files, the libraries' SONAME and exports, and
# the RUNPATH through which the programs find them (no LD_LIBRARY_PATH).
#   check_tree.sh SOURCE_DIR STAGE VERSION
set -euo pipefail
source=$1 stage=$2 version=$3
major=${version%%.*}
libdir=$(cd "$stage" && ls -d lib/*-linux-gnu 2>/dev/null || echo lib)
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

for file in bin/Brevant bin/ccsim bin/ravlin share/man/man1/ravlin.1.gz "$libdir/libRavlin.so.$version" "$libdir/libPontel.so.$version" \
            include/ravlin/CCTalkComDeclar.h include/ravlin/PontelDeclar.h "$libdir/pkgconfig/ravlin.pc" \
            "$libdir/cmake/Ravlin/RavlinConfig.cmake" "$libdir/cmake/Ravlin/RavlinConfigVersion.cmake" \
            share/man/man1/Brevant.1.gz share/man/man1/ccsim.1.gz share/applications/brevant.desktop \
            share/icons/hicolor/scalable/apps/brevant.svg share/doc/brevant/copyright \
            share/doc/brevant/changelog.gz; do
    [ -f "$stage/$file" ] || fail "missing $file"
done
for lib in Ravlin Pontel; do
    for link in "lib$lib.so" "lib$lib.so.$major"; do
        [ -L "$stage/$libdir/$link" ] || fail "$link is not a symbolic link"
    done
    dynamic=$(readelf -d "$stage/$libdir/lib$lib.so.$version")
    grep -q "Library soname: \[lib$lib.so.$major\]" <<<"$dynamic" || fail "SONAME of lib$lib: $dynamic"
done
grep -q 'Library runpath: \[\$ORIGIN\]' <(readelf -d "$stage/$libdir/libRavlin.so.$version") ||
    fail "libRavlin.so does not look for libPontel.so beside itself"

# The programs' RUNPATH leads from bin/ to the staged libraries.
for program in Brevant ccsim ravlin; do
    grep -q "Library runpath: \[\$ORIGIN/../$libdir\]" <(readelf -d "$stage/bin/$program") ||
        fail "RUNPATH of $program"
done
for lib in Ravlin Pontel; do
    loaded=$(env -u LD_LIBRARY_PATH ldd "$stage/bin/Brevant" | awk -v l="lib$lib.so.$major" '$1 == l {print $3}')
    [ -n "$loaded" ] && [ "$(realpath "$loaded")" = "$(realpath "$stage/$libdir/lib$lib.so.$version")" ] ||
        fail "Brevant loads lib$lib from '$loaded'"
done

# Exactly the 34 exports, which the installed header declares; Pontel
# exports the functions of its header.
cmake -DNM=nm -DLIBRARY="$stage/$libdir/libRavlin.so.$version" -DEXPECTED="$source/tests/library/exports.txt" \
      -DHEADER="$stage/include/ravlin/CCTalkComDeclar.h" -P "$source/tests/library/CheckExports.cmake" ||
    fail "exports of libRavlin.so"
exported=$(nm -D --defined-only "$stage/$libdir/libPontel.so.$version" | awk '{print $3}' | sort)
declared=$(sed -n 's/^PONTEL_API[^(]*[ *]\([A-Za-z_][A-Za-z0-9_]*\)(.*/\1/p' \
           "$stage/include/ravlin/PontelDeclar.h" | sort)
[ "$exported" = "$declared" ] && [ "$(wc -l <<<"$declared")" -eq 9 ] ||
    fail "libPontel.so exports: $exported; its header declares: $declared"

[ "$(env -u LD_LIBRARY_PATH "$stage/bin/ccsim" --help | head -n 1)" = "Usage: ccsim [options]" ] ||
    fail "the installed ccsim does not run"
[ "$failures" -eq 0 ] && echo "install tree: all checks passed"
exit $((failures > 0))
