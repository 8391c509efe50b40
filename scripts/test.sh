#!/usr/bin/env bash
# Installs what is missing, checks that no room of src/ includes from a room
# above it, builds the project and runs the whole test suite:
# once in build/, once with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/, and once for the large-read variant in build-large/ (core and
# command line only, without Qt); then the fuzz targets of the file readers,
# of a whole ROM and of patches are built in build-fuzz/ and replay their
# seed corpora. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/common.sh

morvik_ensure_packages "${MORVIK_PACKAGES[@]}"

morvik_log "layers (scripts/check_layers.sh)"
scripts/check_layers.sh

morvik_log "main build (build/)"
morvik_build build "${MORVIK_MAIN_OPTIONS[@]}"
ctest --test-dir build --output-on-failure --parallel "$(morvik_jobs)"

morvik_log "sanitizer build (build-asan/)"
morvik_build build-asan -DCMAKE_BUILD_TYPE=Debug -DMORVIK_WERROR=ON -DMORVIK_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure --parallel "$(morvik_jobs)"

morvik_log "large-read variant (build-large/)"
morvik_build build-large -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVIK_WERROR=ON -DMORVIK_LARGE_READ=ON \
    -DMORVIK_GUI=OFF
ctest --test-dir build-large --output-on-failure --parallel "$(morvik_jobs)"

morvik_log "fuzz targets (build-fuzz/)"
# clang's libFuzzer; each target replays its seed corpus once (no long run here).
morvik_build build-fuzz -DCMAKE_CXX_COMPILER="$(command -v clang++)" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMORVIK_FUZZ=ON -DMORVIK_TESTS=OFF -DMORVIK_GUI=OFF -DMORVIK_WERROR=ON
for format in bmp pcx png decompress rom patch palette; do
    # The memory limit catches a reader that believes a size a file declares.
    build-fuzz/fuzz/fuzz_"$format" -runs=0 -rss_limit_mb=1024 fuzz/corpus/"$format"
done

morvik_log "all tests passed"
