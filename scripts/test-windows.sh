#!/usr/bin/env bash
# Cross-builds the core, the command line and the test suite for 64-bit
# Windows (MinGW-w64, statically linked) in build-windows/ and runs every test
# program under Wine. Installs what it needs with apt-get; libpng and giflib
# are built from Debian's own source packages once, into build-windows/deps.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/common.sh
source scripts/lib/windows.sh

started=$SECONDS
morvik_ensure_packages "${MORVIK_WINDOWS_PACKAGES[@]}"
morvik_wine_start
trap morvik_wine_stop EXIT

morvik_log "Windows build (build-windows/morvik)"
morvik_windows_build

morvik_log "Windows tests under Wine"
ctest --test-dir "$MORVIK_WINDOWS_DIR/morvik" --output-on-failure --parallel "$(morvik_jobs)" \
    --timeout 300
morvik_log "Windows: all tests passed in $((SECONDS - started)) s"
