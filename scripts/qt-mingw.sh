#!/usr/bin/env bash
# Builds Qt's qtbase for 64-bit Windows (x86_64-w64-mingw32) from Debian 12's own source package of
# the Qt the Linux build uses, and installs it into a cache folder outside the source tree, so that
# it is built once per machine.
#
#   scripts/qt-mingw.sh            build unless the cache already holds this build; print its folder
#   scripts/qt-mingw.sh --prefix   only print the folder the build goes to (built or not)
#
# The folder is $TELLWICK_CACHE (default /var/cache/tellwick when writable, else
# ${XDG_CACHE_HOME:-~/.cache}/tellwick) / qt-<version>-mingw-<hash>, the hash taken over the
# configure options, the toolchain file and the patches in scripts/patches/qtbase-*.patch. Only
# Core, Gui, Widgets and Test are built, with the "windows" and "offscreen" platform plugins and
# the Windows styles; Debian's moc, rcc and uic (qt6-base-dev) are used as host tools.
#
# The sources come through apt with a private configuration (a deb-src sources file of its own and
# its own package lists in the cache folder), so the machine's apt setup is not changed.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)

qt_version=6.4.2
# The Linux build's Qt: take the same Debian revision of the sources when the archive has it.
deb_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
case "$deb_version" in "$qt_version"+*) ;; *) deb_version="" ;; esac

if [ -n "${TELLWICK_CACHE:-}" ]; then
    cache=$TELLWICK_CACHE
elif [ -w /var/cache ] || [ -w /var/cache/tellwick ]; then
    cache=/var/cache/tellwick
else
    cache=${XDG_CACHE_HOME:-$HOME/.cache}/tellwick
fi

toolchain="$top/cmake/mingw-w64-x86_64-qt.cmake"
options=(
    -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF
    # Modules the program does not use.
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=ON
    # No OpenGL or Vulkan: widgets draw with the raster engine. INPUT_opengl=no as well, or
    # dynamic OpenGL stays on.
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
    # Debian's tarball lacks src/3rdparty/wintab (pen input).
    -DFEATURE_tabletevent=OFF
    # Debian's cross patch turns these on; neither exists for mingw here.
    -DFEATURE_androiddeployqt=OFF -DFEATURE_zstd=OFF
    -DFEATURE_icu=OFF -DFEATURE_pkg_config=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    # Qt's bundled copies: Debian has none of these libraries for mingw.
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_doubleconversion=OFF
)
patches=()
for p in "$top"/scripts/patches/qtbase-*.patch; do [ -e "$p" ] && patches+=("$p"); done
hash=$( {
    printf '%s\n' "$qt_version" "${options[@]}"
    cat "$toolchain"
    [ ${#patches[@]} -eq 0 ] || cat "${patches[@]}"
} | sha256sum | cut -c1-12)
prefix="$cache/qt-$qt_version-mingw-$hash"

if [ "${1:-}" = --prefix ]; then
    echo "$prefix"
    exit 0
fi
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

mkdir -p "$cache"
# One build at a time per cache folder; a second caller waits and then finds the result.
exec 9>"$cache/.qt-mingw.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

"$top/scripts/ensure-packages.sh" windows qt-mingw
started=$(date +%s)
work="$cache/work-$hash"
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/src"

# Debian's source archive, from the same mirror and suites as the machine's binary archive.
uri=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
uri=${uri:-http://deb.debian.org/debian}
cat >"$work/apt/tellwick-src.sources" <<EOF
Types: deb-src
URIs: $uri
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$work/apt"
    -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache" -o "Debug::NoLocking=1"
    -o "APT::Sandbox::User=root")
apt-get "${apt_opts[@]}" -qq update
want=qt6-base
if [ -n "$deb_version" ] && apt-cache "${apt_opts[@]}" showsrc qt6-base | grep -qx "Version: $deb_version"; then
    want="qt6-base=$deb_version"
fi
(cd "$work/src" && apt-get "${apt_opts[@]}" -qq source "$want" >/dev/null)
src=$(ls -d "$work"/src/qt6-base-*/ | head -n 1)
for p in "${patches[@]}"; do
    patch -d "$src" -p1 --forward <"$p"
done

cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    "${options[@]}"
nice cmake --build "$work/build" -j "${TELLWICK_JOBS:-$(nproc 2>/dev/null || echo 2)}"
cmake --install "$work/build" >/dev/null
# The licence texts and the Debian source package's description go with the build, for the zip.
mkdir -p "$prefix/share/licenses"
cp "$src"/LICENSES/*.txt "$prefix/share/licenses/" 2>/dev/null || true
cp "$src"/LICENSE.* "$prefix/share/licenses/" 2>/dev/null || true
cp "$src/debian/copyright" "$prefix/share/licenses/debian-copyright" 2>/dev/null || true
cp "$work"/src/*.dsc "$prefix/share/licenses/" 2>/dev/null || true
finished=$(date +%s)
echo "built in $((finished - started)) s from $(basename "$src")" >"$prefix/.complete"
rm -rf "$work"
echo "$prefix"
