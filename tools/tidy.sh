#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over every file under src/
# the build compiles, and fails on any finding.
#   tools/tidy.sh [build folder]      (default: build)
# The build folder must have been built once (the generated headers must
# exist); every configure writes its compile_commands.json. TIDY_JOBS sets how many
# files are checked at once (default: the number of processors).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
jobs=${TIDY_JOBS:-$(nproc 2>/dev/null || echo 2)}

if [ ! -f "$build/compile_commands.json" ]; then
    echo "tidy.sh: $build/compile_commands.json is missing; configure and build it first" >&2
    exit 2
fi
tidy=$(command -v clang-tidy-14 || command -v clang-tidy || true)
runner=$(command -v run-clang-tidy-14 || command -v run-clang-tidy || true)
if [ -z "$tidy" ] || [ -z "$runner" ]; then
    echo "tidy.sh: clang-tidy and run-clang-tidy are needed (Debian: apt-get install clang-tidy)" >&2
    exit 2
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$runner" -quiet -clang-tidy-binary "$tidy" -p "$build" -j "$jobs" -header-filter "^$root/src/" \
    "^$root/src/.*\.cpp$" >"$log" 2>&1 || status=$?
# The findings, each once (a header's finding comes from every file that includes it).
findings=$(sed -e 's/\x1b\[[0-9;]*m//g' -e 's#/[^/]*/\.\./#/#g' "$log" |
    grep -E '^[^ ]+:[0-9]+:[0-9]+: (warning|error):' | sed "s#^$root/##" | sort -u || true)
if [ -n "$findings" ] || [ "$status" -ne 0 ]; then
    if [ -n "$findings" ]; then
        echo "$findings"
        echo "tidy.sh: $(echo "$findings" | wc -l) findings" >&2
    else
        cat "$log" >&2
        echo "tidy.sh: clang-tidy failed" >&2
    fi
    exit 1
fi
echo "tidy.sh: no findings"
