#!/usr/bin/env bash
# Builds the Debian package of the editor and the command-line tool,
# build/morvik_VERSION_ARCH.deb (the folder is $MORVIK_PACKAGE_BUILD when set),
# from the main build with stripped programs. dpkg-shlibdeps finds its
# dependencies from the libraries the programs link. Further arguments go to
# CMake.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/common.sh

# dpkg-shlibdeps (dpkg-dev) and file, which CPack uses to find the programs.
morvik_ensure_packages "${MORVIK_PACKAGES[@]}" dpkg-dev file

dir=${MORVIK_PACKAGE_BUILD:-build}
morvik_build "$dir" "${MORVIK_MAIN_OPTIONS[@]}" "$@"
rm -f "$dir"/morvik_*.deb
(cd "$dir" && cpack -G DEB)
morvik_log "package: $(ls "$dir"/morvik_*.deb)"
