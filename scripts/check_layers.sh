#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a room it may not use.
# The rooms stand in layers, bottom first:
#
#   gfx < imagefile, rom < backgrounds < transfer < document < editing < gui, cli
#
# with demo (the demo ROM builder) above backgrounds, beside transfer, for the
# programs only. A room uses its own headers and those of the rooms below it;
# rooms on one level (imagefile and rom, gui and cli) do not use each other.
# The build links each room only with the rooms below it; this check also
# catches an upward reach that touches nothing but a header.
#
# Usage: scripts/check_layers.sh [SRC_DIR]   (default: src/ of this project)
set -euo pipefail
src=${1:-"$(dirname "${BASH_SOURCE[0]}")/../src"}

declare -A below=(
    [gfx]=""
    [imagefile]="gfx"
    [rom]="gfx"
    [backgrounds]="gfx imagefile rom"
    [transfer]="gfx imagefile rom backgrounds"
    [document]="gfx imagefile rom backgrounds transfer"
    [editing]="gfx imagefile rom backgrounds transfer document"
    [demo]="gfx imagefile rom backgrounds"
    [gui]="gfx imagefile rom backgrounds transfer document editing"
    [cli]="gfx imagefile rom backgrounds transfer document editing demo"
)

faults=0
while IFS= read -r -d '' file; do
    relative=${file#"$src"/}
    room=${relative%%/*}
    if [ -z "${below[$room]+set}" ]; then
        echo "check_layers: $relative: not in a known room (add it to scripts/check_layers.sh)" >&2
        faults=$((faults + 1))
        continue
    fi
    allowed=" $room ${below[$room]} "
    # Only quoted includes name the project's own headers.
    while IFS=: read -r line target; do
        used=${target%%/*}
        [ "$used" = "$target" ] && continue # a header beside the file, same room
        [ -z "${below[$used]+set}" ] && continue # not one of the rooms
        if [[ $allowed != *" $used "* ]]; then
            echo "check_layers: $relative:$line includes \"$target\": $room may not use $used" >&2
            faults=$((faults + 1))
        fi
    done < <(awk -F'"' '/^[[:space:]]*#[[:space:]]*include[[:space:]]*"/ { print FNR ":" $2 }' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) -print0 | sort -z)

if [ "$faults" -ne 0 ]; then
    echo "check_layers: $faults include(s) reach a room above or beside their own" >&2
    exit 1
fi
echo "check_layers: every include stays within its room and the rooms below"
