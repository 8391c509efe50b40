#!/usr/bin/env bash
# Installs what is missing, builds the project and starts the editor, on the
# given ROM or, without one, on the demo ROM.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/common.sh

morvik_ensure_packages "${MORVIK_PACKAGES[@]}"
morvik_build build "${MORVIK_MAIN_OPTIONS[@]}" >/dev/null

if [ ! -x build/src/gui/morvik ]; then
    echo "Morvik is built, but the editor window does not exist yet; scripts/test.sh runs the tests."
    exit 0
fi
exec build/src/gui/morvik "$@"
