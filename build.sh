#!/usr/bin/env bash
# One entry point for setting up, building, running and testing Trekora on Debian.
#   ./build.sh run [ARGS...]   install what is missing, build, start the program
#   ./build.sh test            install what is missing, build with sanitizers, run every test
#   ./build.sh bench           install what is missing, build optimised, run the benchmarks
#   ./build.sh fuzz [SECONDS]  build the fuzz targets with clang and run each for SECONDS
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=$(nproc)

# Debian packages the build, the tests and the peer benchmarks need.
PACKAGES=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
    libproj-dev proj-bin proj-data sqlite3
    libusb-1.0-0-dev
    libgtest-dev libgmock-dev
    gdal-bin shapelib gpsbabel
    xvfb xauth ccache
    desktop-file-utils appstream
)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# ccache lets several checkouts of the tree (git worktrees) share objects:
# paths below the checkouts' common parent are hashed relative to it.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$ROOT")}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}

configure_and_build() { # dir, cmake args...
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        local launcher=()
        command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
            -DCMAKE_C_COMPILER_LAUNCHER=ccache)
        cmake -S "$ROOT" -B "$dir" -G Ninja "${launcher[@]}" "$@"
    fi
    cmake --build "$dir" -j "$JOBS"
}

cmd=${1:-run}
[ $# -gt 0 ] && shift
case "$cmd" in
run)
    install_missing
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec "$ROOT/build/bin/trekora" --simulate "$@"
    ;;
test)
    install_missing
    configure_and_build build-test -DCMAKE_BUILD_TYPE=Debug -DTREKORA_SANITIZE=ON \
        -DTREKORA_WERROR=ON
    export QT_QPA_PLATFORM=offscreen
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export LSAN_OPTIONS=suppressions=$ROOT/tests/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir build-test --output-on-failure -j "$JOBS" --timeout 600
    "$0" fuzz 5
    ;;
bench)
    install_missing
    configure_and_build build-release -DCMAKE_BUILD_TYPE=Release
    export QT_QPA_PLATFORM=offscreen
    for b in "$ROOT"/build-release/bin/bench_*; do
        [ -x "$b" ] && "$b"
    done
    ;;
fuzz)
    secs=${1:-60}
    install_missing
    configure_and_build build-fuzz -DCMAKE_BUILD_TYPE=Debug -DTREKORA_FUZZ=ON \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    shopt -s nullglob
    for f in "$ROOT"/build-fuzz/bin/fuzz_*; do
        name=$(basename "$f")
        corpus="$ROOT/tests/fuzz/corpus/${name#fuzz_}"
        work=$(mktemp -d)
        [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
        echo "fuzzing $name for ${secs}s"
        "$f" -max_total_time="$secs" -rss_limit_mb=2048 -print_final_stats=0 "$work" >"$work.log" 2>&1 \
            || { tail -n 60 "$work.log"; rm -rf "$work" "$work.log"; exit 1; }
        rm -rf "$work" "$work.log"
    done
    echo "fuzz smoke run: all targets clean"
    ;;
*)
    echo "usage: $0 run|test|bench|fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
