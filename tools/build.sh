#!/usr/bin/env bash
# Installs what is missing (Debian 12, as root), builds, and then either starts
# the editor on the bundled sample or runs every test.
#   tools/build.sh run    build and start the editor on samples/sample-channel.bin
#   tools/build.sh test   build and run every test
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-}
case "$mode" in run|test) ;; *) echo "usage: $0 run|test" >&2; exit 2 ;; esac

# The fonts the windows draw with: Arial's metric twin, and DejaVu for the
# symbols Arial lacks. The validators and renderers the install test uses:
# desktop entry, AppStream metadata, manual pages, MIME database. And
# clang-format and git (to list the sources) for the check of the sources'
# formatting (.ci/run).
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev liblzo2-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation2 fonts-dejavu-core xvfb xauth xdotool
          locales desktop-file-utils appstream man-db shared-mime-info libglib2.0-bin clang-format git)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
# Warnings are errors here, as in CI.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBITLIST_TESTS=ON -DORBITLIST_BENCH=ON \
    -DORBITLIST_WERROR=ON
if [ "$mode" = run ]; then
    # Only the programs: the tests and benchmarks are built by the test command.
    cmake --build build -j "$jobs" --target orbitlist orbitlist-cli
else
    cmake --build build -j "$jobs"
fi

if [ "$mode" = run ]; then
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
        exec build/orbitlist samples/sample-channel.bin
    fi
    echo "No display found: starting the editor in a virtual X server (xvfb-run); nothing will be seen." >&2
    echo "Set DISPLAY to a real display to use it." >&2
    exec xvfb-run -a -s "-screen 0 1400x900x24" build/orbitlist samples/sample-channel.bin
fi

export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORBITLIST_SANITIZE=ON -DORBITLIST_TESTS=ON \
    -DORBITLIST_BENCH=OFF -DORBITLIST_WERROR=ON
cmake --build build-asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 900
