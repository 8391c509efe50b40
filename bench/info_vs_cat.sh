#!/usr/bin/env bash
# How long `morvik-cli info` takes as a whole process next to `cat` of the same
# ROM: the two run in turn, 15 times each, and the medians and their ratio are
# printed. Builds nothing.
#   bench/info_vs_cat.sh build/src/morvik-cli ROM
# (a ROM to try it on: morvik-cli demo-rom /tmp/demo.smc)
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 MORVIK-CLI ROM" >&2
    exit 2
fi
cli=$1
rom=$2
runs=15

# Milliseconds one command takes. EPOCHREALTIME is read by the shell itself,
# so no helper process is counted.
elapsed() {
    local start=${EPOCHREALTIME/[.,]/} end
    "$@" >/dev/null
    end=${EPOCHREALTIME/[.,]/}
    awk -v us="$((end - start))" 'BEGIN { printf "%.3f\n", us / 1000 }'
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One run of each first, so that both find the file in the page cache.
cat "$rom" >/dev/null
"$cli" info "$rom" >/dev/null

cat_times=()
info_times=()
for ((i = 0; i < runs; ++i)); do
    cat_times+=("$(elapsed cat "$rom")")
    info_times+=("$(elapsed "$cli" info "$rom")")
done

cat_median=$(printf '%s\n' "${cat_times[@]}" | median)
info_median=$(printf '%s\n' "${info_times[@]}" | median)
echo "cat:  median ${cat_median} ms"
echo "info: median ${info_median} ms"
awk -v info="$info_median" -v cat="$cat_median" \
    'BEGIN { printf "ratio: %.1f (info / cat)\n", info / cat }'
