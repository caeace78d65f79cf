#!/usr/bin/env bash
# Builds the Debian package build-package/tellwick_<version>_amd64.deb with CPack (Release, with
# Debian's hardening flags, stripped, no compiler ident; Depends from dpkg-shlibdeps), then checks it the way the
# distribution does: lintian (no errors), desktop-file-validate on the menu and autostart entries,
# appstreamcli validate --no-net on the AppStream entry. Installs what it needs (apt) first.
#
#   scripts/package.sh              build and check
#   scripts/package.sh --no-build   check the package already in build-package/
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build-package"
jobs=$(nproc 2>/dev/null || echo 2)
log() { printf 'package: %s\n' "$*" >&2; }

"$top/scripts/ensure-packages.sh" run package

if [ "${1:-}" != --no-build ]; then
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        -DTELLWICK_TESTS=OFF -DTELLWICK_BENCH=OFF \
        -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) -fno-ident" \
        -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
    cmake --build "$dir" -j "$jobs"
    rm -f "$dir"/tellwick_*.deb
    (cd "$dir" && cpack -G DEB >"$dir/cpack.log" 2>&1) || { cat "$dir/cpack.log" >&2; exit 1; }
fi

debs=("$dir"/tellwick_*_amd64.deb)
[ -f "${debs[0]}" ] || { log "no package in $dir"; exit 1; }
deb=${debs[0]}
log "$(basename "$deb"): $(stat -c %s "$deb") bytes"
log "$(dpkg-deb -f "$deb" Depends | sed 's/^/Depends: /')"

failed=0
# Qt's Wayland plugin is loaded at run time, so dpkg-shlibdeps cannot find it: it must be named.
dpkg-deb -f "$deb" Depends | grep -qw 'qt6-wayland' || { log "Depends lacks qt6-wayland"; failed=1; }
echo "== lintian"
# Errors fail; warnings and notes are shown (and explained in docs/packaging.md).
lintian --fail-on error --display-info --tag-display-limit 0 "$deb" || failed=1

tree=$(mktemp -d "${TMPDIR:-/tmp}/tellwick-deb.XXXXXX")
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
echo "== desktop-file-validate"
for f in "$tree/usr/share/applications/tellwick.desktop" "$tree/etc/xdg/autostart/tellwick.desktop"; do
    [ -f "$f" ] || { log "missing: ${f#"$tree"}"; failed=1; continue; }
    desktop-file-validate "$f" || failed=1
done
echo "== appstreamcli validate"
metainfo=("$tree"/usr/share/metainfo/*.metainfo.xml)
if [ -f "${metainfo[0]}" ]; then
    appstreamcli validate --no-net "${metainfo[0]}" || failed=1
else
    log "missing: /usr/share/metainfo/*.metainfo.xml"
    failed=1
fi
[ "$failed" = 0 ] || { log "the package failed a check"; exit 1; }
log "package checks passed: $deb"
