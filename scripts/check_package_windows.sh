#!/usr/bin/env bash
# Builds the Windows zip (scripts/package-windows.sh) and checks what a user
# would get: unpacked into a folder of its own, morvik-cli.exe runs under Wine
# and its --version, demo-rom, info and export give the same bytes as the Linux
# build's morvik-cli (build/src/morvik-cli, built first when missing), line
# ends aside.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/common.sh
source scripts/lib/windows.sh

scripts/package-windows.sh
if [ ! -x build/src/morvik-cli ]; then
    morvik_ensure_packages "${MORVIK_PACKAGES[@]}"
    morvik_build build "${MORVIK_MAIN_OPTIONS[@]}" >/dev/null
fi
linux=$PWD/build/src/morvik-cli
zips=("$MORVIK_WINDOWS_DIR"/morvik-*-windows-x86_64.zip)
zip=$PWD/${zips[0]}

work=$(mktemp -d)
morvik_wine_start
trap 'morvik_wine_stop; rm -rf "$work"' EXIT
fail() {
    morvik_log "Windows package check failed: $*"
    exit 1
}
mkdir "$work/unpacked" "$work/win" "$work/linux"
(cd "$work/unpacked" && unzip -q "$zip")
folder=$(find "$work/unpacked" -mindepth 1 -maxdepth 1 -type d)
[ "$(ls "$folder" | tr '\n' ' ')" = "LICENSE README.md morvik-cli.exe " ] ||
    fail "the zip holds $(ls "$folder" | tr '\n' ' ')"

# Runs the unpacked program from its own folder, in $work/win; and the Linux
# one the same way in $work/linux. Output with its line ends made Unix's.
windows() { (cd "$work/win" && wine "$folder/morvik-cli.exe" "$@" | tr -d '\r'); }
unix() { (cd "$work/linux" && "$linux" "$@"); }

[ "$(windows --version)" = "$(unix --version)" ] || fail "--version differs"
windows demo-rom demo.smc >/dev/null
unix demo-rom demo.smc >/dev/null
cmp -s "$work/win/demo.smc" "$work/linux/demo.smc" || fail "demo-rom wrote other bytes"
[ "$(windows info demo.smc)" = "$(unix info demo.smc)" ] || fail "info differs"
windows export demo.smc art >/dev/null
unix export demo.smc art >/dev/null
diff -r "$work/win/art" "$work/linux/art" >/dev/null || fail "export wrote other files"
morvik_log "Windows package checked: $(basename "$zip") runs --version, demo-rom, info and export as on Linux"
