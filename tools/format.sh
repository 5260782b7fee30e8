#!/usr/bin/env bash
# Formats the C++ sources with the repository's .clang-format.
#   tools/format.sh          rewrite every source that differs
#   tools/format.sh --check  list the sources that differ and fail, changing nothing
set -euo pipefail
cd "$(dirname "$0")/.."

tool=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$tool" ]; then
    echo "clang-format is not installed (apt-get install clang-format)." >&2
    exit 2
fi
# The sources git tracks; without git (or outside a clone) there is nothing
# to check, which is a failure, not a pass.
if ! listed=$(git ls-files '*.cpp' '*.h' 2>&1) || [ -z "$listed" ]; then
    echo "format.sh: the sources can not be listed (git ls-files): ${listed:-no sources}" >&2
    exit 2
fi
mapfile -t sources <<<"$listed"
if [ "${1:-}" = --check ]; then
    # One run over every source; each place that differs is reported as
    # "file:line:column: error: ...".
    # clang-format's own failure (a crash, an unreadable file) fails the check too.
    rc=0
    out=$("$tool" --dry-run --Werror "${sources[@]}" 2>&1) || rc=$?
    mapfile -t bad < <(printf '%s\n' "$out" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/\1/p' | sort -u)
    if [ ${#bad[@]} -gt 0 ]; then
        printf 'Not formatted as .clang-format says (run tools/format.sh):\n' >&2
        printf '  %s\n' "${bad[@]}" >&2
        exit 1
    fi
    if [ "$rc" -ne 0 ]; then
        printf '%s\n' "$out" >&2
        echo "clang-format failed." >&2
        exit 1
    fi
    echo "All ${#sources[@]} sources are formatted."
else
    "$tool" -i "${sources[@]}"
fi
