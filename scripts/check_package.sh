#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh, same folder and arguments) and
# checks what a user would get: unpacked, both programs print their version,
# the command-line tool writes and reads the demo ROM, the desktop entry is
# valid, every icon is there, and lintian reports no error (its warnings are
# printed but allowed).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/common.sh

morvik_ensure_packages desktop-file-utils lintian

scripts/package.sh "$@"
debs=("${MORVIK_PACKAGE_BUILD:-build}"/morvik_*.deb)
deb=${debs[0]}

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

fail() {
    morvik_log "package check failed: $*"
    exit 1
}

version=$(dpkg-deb -f "$deb" Version)
for program in morvik morvik-cli; do
    line=$("$root/usr/bin/$program" --version)
    [ "$line" = "morvik $version" ] || fail "$program --version says '$line'"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no dependencies from dpkg-shlibdeps"

"$root/usr/bin/morvik-cli" demo-rom "$root/demo.smc"
"$root/usr/bin/morvik-cli" info "$root/demo.smc"

desktop-file-validate "$root/usr/share/applications/morvik.desktop"
diff <(cd resources/icons && find hicolor -type f | sort) \
    <(cd "$root/usr/share/icons" && find hicolor -type f | sort) || fail "icons differ"

morvik_log "lintian $deb"
lintian --fail-on error "$deb"
morvik_log "package checked: $deb"
