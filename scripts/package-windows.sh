#!/usr/bin/env bash
# Builds morvik-cli for 64-bit Windows (the cross build of test-windows.sh) and
# writes build-windows/morvik-VERSION-windows-x86_64.zip: morvik-cli.exe,
# README and LICENSE in one folder. The program is linked statically: it
# needs no DLL but the system's own, which is checked here.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/common.sh
source scripts/lib/windows.sh

morvik_ensure_packages "${MORVIK_WINDOWS_PACKAGES[@]}"
morvik_wine_start
trap morvik_wine_stop EXIT
morvik_windows_build >/dev/null

version=$(sed -n 's/^project(Morvik VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=morvik-$version-windows-x86_64
exe=$MORVIK_WINDOWS_DIR/morvik/src/morvik-cli.exe

# Only Windows' own DLLs: anything else would have to ship beside it.
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
for dll in $imports; do
    case "${dll,,}" in
    kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | shell32.dll | ws2_32.dll) ;;
    *)
        morvik_log "morvik-cli.exe needs $dll, which Windows does not have"
        exit 1
        ;;
    esac
done

stage=$MORVIK_WINDOWS_DIR/package/$name
rm -rf "$MORVIK_WINDOWS_DIR/package" "$MORVIK_WINDOWS_DIR/$name.zip"
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/morvik-cli.exe" "$exe"
cp README.md LICENSE "$stage/"
(cd "$MORVIK_WINDOWS_DIR/package" && zip -q -r "../$name.zip" "$name")
morvik_log "package written: $MORVIK_WINDOWS_DIR/$name.zip ($(echo $imports | tr ' ' ','))"
