#!/usr/bin/env bash
# Builds the project and takes the README's screenshots of the editor on the
# demo ROM, drawn off screen: docs/screenshot.png (the monster page),
# docs/portraits.png, docs/characters.png, docs/battle.png (the Battle
# preview on a formation the game garbles) and docs/animation.png (the
# Animation Preview of a character).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/common.sh

morvik_ensure_packages "${MORVIK_PACKAGES[@]}"
morvik_build build "${MORVIK_MAIN_OPTIONS[@]}" >/dev/null
build/src/morvik-cli demo-rom build/demo.smc
mkdir -p docs
shoot() {
    QT_QPA_PLATFORM=offscreen build/src/gui/morvik-screenshot build/demo.smc "$@"
    echo "$1"
}
shoot docs/screenshot.png 0
shoot docs/portraits.png 2
shoot docs/characters.png 3
shoot docs/battle.png battle 25
shoot docs/animation.png animation 1
