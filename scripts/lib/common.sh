# Shared by the project's scripts: installs missing build dependencies and
# configures/builds the project. Source it; do not run it.

# Debian packages the build and the tests need.
MORVIK_PACKAGES=(
    cmake
    ninja-build
    g++
    libgtest-dev
    libgmock-dev
    libbenchmark-dev
    libpng-dev
    libgif-dev  # animated GIFs of the character sprites
    zlib1g-dev
    clang
    libclang-rt-14-dev  # libFuzzer and the sanitizer runtimes for clang
    qt6-base-dev
)

morvik_log() { printf 'morvik: %s\n' "$*" >&2; }

# Installs, with apt-get, those of the given packages that are not installed yet.
# Nothing is downloaded when everything is present.
morvik_ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            morvik_log "missing packages (${missing[*]}) and no root rights to install them"
            return 1
        fi
    fi
    morvik_log "installing ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"
}

morvik_jobs() { nproc 2>/dev/null || echo 2; }

# morvik_build DIR [cmake options...]: configures (when needed) and builds DIR.
morvik_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" --parallel "$(morvik_jobs)"
}

# The options of the main build folder, shared by the run and test scripts.
MORVIK_MAIN_OPTIONS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVIK_WERROR=ON -DMORVIK_BENCH=ON)
