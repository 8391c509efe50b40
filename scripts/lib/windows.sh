# Shared by test-windows.sh and package-windows.sh: the cross build of the core,
# the command line and the tests for 64-bit Windows with Debian's MinGW-w64,
# and Wine to run them. Source it after common.sh; do not run it.

MORVIK_WINDOWS_PACKAGES=(
    cmake
    ninja-build
    g++-mingw-w64-x86-64-posix
    libz-mingw-w64-dev
    wine
    wine64
    googletest  # its sources, built with the cross compiler
    dpkg-dev    # apt-get source unpacks with dpkg-source
    zip
    unzip
)
MORVIK_WINDOWS_DIR=build-windows
MORVIK_WINDOWS_DEPS=$PWD/$MORVIK_WINDOWS_DIR/deps
MORVIK_WINDOWS_TOOLCHAIN=$PWD/cmake/mingw-w64-x86_64.cmake
# Wine keeps its own Windows in the build folder, not in the user's home.
export WINEPREFIX=$PWD/$MORVIK_WINDOWS_DIR/wine
export WINEDEBUG=-all
export WINEARCH=win64

morvik_sudo() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# Writes a source-package entry for every package entry the machine has (same
# mirrors and suites) into $1.
morvik_source_entries() {
    local out=$1 file
    : >"$out"
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] && sed -n 's/^deb \(.*\)$/deb-src \1/p' "$file" >>"$out.list.tmp"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && sed 's/^Types:.*deb\b.*$/Types: deb-src/' "$file" >>"$out.sources.tmp" &&
            echo >>"$out.sources.tmp"
    done
    true
}

# apt-get source PACKAGE into the current folder: the newest version served
# first, else the one before it.
morvik_fetch_source() {
    local package=$1 version
    for version in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -rV | uniq | head -2); do
        if apt-get source -q --only-source "$package=$version" >/dev/null 2>&1; then
            echo "$version"
            return 0
        fi
        morvik_log "apt-get source $package=$version failed; trying an older version"
    done
    return 1
}

# libpng and giflib from Debian's source packages, GoogleTest from
# /usr/src/googletest, each built once with the cross compiler into
# $MORVIK_WINDOWS_DEPS (static libraries).
morvik_windows_deps() {
    if [ -f "$MORVIK_WINDOWS_DEPS/.built" ]; then
        return 0
    fi
    local sources=$MORVIK_WINDOWS_DIR/sources
    rm -rf "$sources" "$MORVIK_WINDOWS_DEPS"
    mkdir -p "$sources" "$MORVIK_WINDOWS_DEPS/lib" "$MORVIK_WINDOWS_DEPS/include"

    morvik_log "fetching the sources of libpng and giflib (apt-get source)"
    local entries=/tmp/morvik-windows-src.$$
    morvik_source_entries "$entries"
    local listed=()
    if [ -s "$entries.list.tmp" ]; then
        morvik_sudo cp "$entries.list.tmp" /etc/apt/sources.list.d/morvik-windows-src.list
        listed+=(/etc/apt/sources.list.d/morvik-windows-src.list)
    fi
    if [ -s "$entries.sources.tmp" ]; then
        morvik_sudo cp "$entries.sources.tmp" /etc/apt/sources.list.d/morvik-windows-src.sources
        listed+=(/etc/apt/sources.list.d/morvik-windows-src.sources)
    fi
    rm -f "$entries".*.tmp
    local fetched=0
    if morvik_sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null; then
        (cd "$sources" && morvik_fetch_source libpng1.6 && morvik_fetch_source giflib) && fetched=1
    fi
    # The entries go again: the machine's package lists stay as they were.
    morvik_sudo rm -f "${listed[@]}"
    morvik_sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null || true
    [ "$fetched" -eq 1 ] || { morvik_log "the sources of libpng and giflib could not be fetched"; return 1; }

    local cross=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$MORVIK_WINDOWS_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release
                 -DCMAKE_INSTALL_PREFIX="$MORVIK_WINDOWS_DEPS" -DMORVIK_WINDOWS_DEPS="$MORVIK_WINDOWS_DEPS")
    morvik_log "building libpng for Windows"
    local png
    png=$(find "$sources" -maxdepth 1 -type d -name 'libpng1.6-*' | head -1)
    cmake -S "$png" -B "$sources/png-build" "${cross[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
        -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF >/dev/null
    cmake --build "$sources/png-build" --parallel "$(morvik_jobs)" >/dev/null
    cmake --install "$sources/png-build" >/dev/null

    morvik_log "building giflib for Windows"
    local gif object
    gif=$(find "$sources" -maxdepth 1 -type d -name 'giflib-*' | head -1)
    for object in dgif_lib egif_lib gif_err gif_hash gifalloc openbsd-reallocarray quantize; do
        x86_64-w64-mingw32-gcc-posix -O2 -c "$gif/$object.c" -o "$sources/$object.o"
    done
    x86_64-w64-mingw32-ar rcs "$MORVIK_WINDOWS_DEPS/lib/libgif.a" "$sources"/*.o
    cp "$gif/gif_lib.h" "$MORVIK_WINDOWS_DEPS/include/"

    morvik_log "building GoogleTest for Windows"
    cmake -S /usr/src/googletest -B "$sources/gtest-build" "${cross[@]}" -DBUILD_GMOCK=OFF >/dev/null
    cmake --build "$sources/gtest-build" --parallel "$(morvik_jobs)" >/dev/null
    cmake --install "$sources/gtest-build" >/dev/null
    touch "$MORVIK_WINDOWS_DEPS/.built"
}

# Configures and builds $MORVIK_WINDOWS_DIR/morvik: core, command line and tests.
morvik_windows_build() {
    morvik_windows_deps
    morvik_build "$MORVIK_WINDOWS_DIR/morvik" -DCMAKE_TOOLCHAIN_FILE="$MORVIK_WINDOWS_TOOLCHAIN" \
        -DMORVIK_WINDOWS_DEPS="$MORVIK_WINDOWS_DEPS" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
        -DMORVIK_WERROR=ON -DMORVIK_GUI=OFF -DMORVIK_BENCH=OFF
}

# Wine's server and services, started once: without them each program's start
# (test discovery included) crawls.
morvik_wine_start() {
    mkdir -p "$WINEPREFIX"
    # A server already running for the prefix is kept (and says so).
    wineserver -p 2>/dev/null || true
    wine cmd /c exit >/dev/null 2>&1 || true
}

morvik_wine_stop() {
    wineserver -k 2>/dev/null || true
}
