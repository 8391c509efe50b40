#!/usr/bin/env bash
# Installs what is missing, builds the project and starts the editor, on the
# given ROM or, without one, on the demo ROM (written into the build folder).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/common.sh

morvik_ensure_packages "${MORVIK_PACKAGES[@]}"
morvik_build build "${MORVIK_MAIN_OPTIONS[@]}" >/dev/null

rom=${1:-}
if [ -z "$rom" ]; then
    rom=build/demo.smc
    build/src/morvik-cli demo-rom "$rom"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: run it under a virtual one with 'xvfb-run scripts/run.sh${1:+ $1}' (xvfb-run is in Debian's xvfb package)."
    exit 0
fi
exec build/src/gui/morvik "$rom"
