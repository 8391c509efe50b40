#!/usr/bin/env bash
# The editor killed with unsaved edits: its next run offers them back.
#   recovery_after_kill.sh RECOVERY_RUN MORVIK_CLI
# Edits are made and exported as the pages show them, the recovery copy is
# waited for, and the editor gets SIGKILL. A run answering No leaves the ROM as
# it is on the disk and keeps the copy aside; a run answering Yes has the edits
# as unsaved changes, and its save exports as the edited pages did.
set -euo pipefail
run=$1
cli=$2
work=$(mktemp -d)
editor=
cleanup() {
    if [ -n "$editor" ]; then kill -KILL "$editor" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cli" demo-rom "$work/demo.smc" >/dev/null
cp "$work/demo.smc" "$work/original.smc"

"$run" edit "$work/demo.smc" "$work/recovery" "$work/expected" >"$work/edit.out" &
editor=$!
for _ in $(seq 600); do
    grep -q "recovery written" "$work/edit.out" && break
    kill -0 "$editor" 2>/dev/null || fail "the editor ended before its recovery copy was written"
    sleep 0.1
done
grep -q "recovery written" "$work/edit.out" || fail "no recovery copy within a minute"
kill -KILL "$editor"
wait "$editor" 2>/dev/null || true
editor=
cmp -s "$work/demo.smc" "$work/original.smc" || fail "the edits reached the ROM without a save"

# No: the ROM as on the disk, the copy kept aside.
cp -r "$work/recovery" "$work/recovery-no"
out=$("$run" no "$work/demo.smc" "$work/recovery-no")
[ "$out" = "asked" ] || fail "No: expected only the question, got '$out'"
cmp -s "$work/demo.smc" "$work/original.smc" || fail "No changed the ROM"
ls "$work/recovery-no" | grep -q -- "-recovered-" || fail "No did not keep the copy aside"

# Yes: the edits come back unsaved; saved, they export as the pages showed them.
out=$("$run" yes "$work/demo.smc" "$work/recovery" | tr '\n' ' ')
[ "$out" = "asked unsaved " ] || fail "Yes: expected the question and unsaved changes, got '$out'"
ls "$work/recovery" | grep -q "\.mvr$" && fail "a copy is left after the save and a clean exit"
"$cli" export "$work/demo.smc" "$work/saved" >/dev/null
diff -r "$work/expected" "$work/saved" >/dev/null || fail "the recovered edits differ from the edited pages"
cmp -s "$work/demo.smc" "$work/original.smc" && fail "the save wrote nothing"
echo "recovery after kill: passed"
