#!/usr/bin/env bash
# The .deb that ./package built: its name and version, its dependencies (the
# Qt 6 run-time libraries, never a -dev package), the ldconfig step, and its
# file list (everything under /usr: programs, libraries, headers, man pages,
# desktop entry, icon, license, changelog).
#   check_deb.sh SOURCE_DIR PACKAGE_DIR VERSION
set -euo pipefail
source=$1 dir=$2 version=$3
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

arch=$(dpkg --print-architecture)
deb=$dir/brevant_${version}_$arch.deb
[ -f "$deb" ] || { echo "FAIL: no $deb" >&2; exit 1; }
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = brevant ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version), the project's is $version"
changelog=$(dpkg-parsechangelog -l "$source/packaging/changelog" -S Version)
[ "$changelog" = "$version" ] || fail "packaging/changelog's last entry is $changelog, the project is $version"
depends=$(field Depends)
depends_names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 fonts-liberation2; do
    grep -Fqx "$needed" <<<"$depends_names" || fail "Depends lacks $needed: $depends"
done
grep -q -- '-dev$' <<<"$depends_names" && fail "Depends names a -dev package: $depends"
dpkg-deb -I "$deb" postinst | grep -q '^[[:space:]]*ldconfig' || fail "postinst does not run ldconfig"
dpkg-deb -I "$deb" shlibs | grep -q "^libRavlin 1 brevant" || fail "no shlibs entry for libRavlin.so.1"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
outside=$(grep -v '^\./usr/' <<<"$files" | grep -v '^\./$' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
libdir=usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for file in usr/bin/Brevant usr/bin/ccsim usr/bin/ravlin usr/share/man/man1/ravlin.1.gz "$libdir/libRavlin.so.$version" "$libdir/libRavlin.so.1" \
            "$libdir/libPontel.so.$version" usr/include/ravlin/CCTalkComDeclar.h "$libdir/pkgconfig/ravlin.pc" \
            "$libdir/cmake/Ravlin/RavlinConfig.cmake" usr/share/man/man1/Brevant.1.gz \
            usr/share/man/man1/ccsim.1.gz usr/share/applications/brevant.desktop \
            usr/share/icons/hicolor/scalable/apps/brevant.svg usr/share/doc/brevant/copyright \
            usr/share/doc/brevant/changelog.gz; do
    grep -qx "\./$file" <<<"$files" || fail "the package lacks /$file"
done
[ "$failures" -eq 0 ] && echo "$(basename "$deb"): all checks passed ($(stat -c %s "$deb") bytes; Depends: $depends)"
exit $((failures > 0))
